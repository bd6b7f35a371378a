// Key codes as the control models take them (the platform's virtual key
// codes: 13 Enter, 46 Delete, 112 F1 ... 123 F12, letters by their capital
// letter) and the shift state (1 Shift, 2 Ctrl, 4 Alt), made from Qt's key
// events.
#pragma once

#include <Qt>

class QKeyEvent;

namespace orva::qt {

constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

// The platform key code of a Qt key, 0 for keys it has none for.
int HostKeyCode(int qtKey);
// Shift state of Qt modifiers.
int HostShiftState(Qt::KeyboardModifiers modifiers);
// Both for an event; keypad keys count as their main-keyboard twins.
int HostKeyCode(const QKeyEvent& event);
int HostShiftState(const QKeyEvent& event);

}  // namespace orva::qt
