// The key codes and shift state of host/key_codes.h, made from Qt's key
// events.
#pragma once

#include <Qt>

#include "host/key_codes.h"

class QKeyEvent;

namespace orva::qt {

// The platform key code of a Qt key, 0 for keys it has none for.
int HostKeyCode(int qtKey);
// Shift state of Qt modifiers.
int HostShiftState(Qt::KeyboardModifiers modifiers);
// Both for an event; keypad keys count as their main-keyboard twins.
int HostKeyCode(const QKeyEvent& event);
int HostShiftState(const QKeyEvent& event);

}  // namespace orva::qt
