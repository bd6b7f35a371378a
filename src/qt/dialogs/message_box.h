// The plain message box: the text, an icon, the buttons of a style (captions
// in the session's language) and a title; Esc or closing the box answers
// with the button that changes nothing (SafeAnswer). A detail, when given, is
// shown behind the box's own "Show Details..." button.
#pragma once

#include <string>

#include "host/host_ui.h"

class QWidget;

namespace orva::qt {

MsgResult ShowMessageBox(QWidget* parent, const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title, const std::string& detail = {});

// The caption of a button in the session's language ("是(&Y)", "确定", ...).
std::string ButtonCaption(MsgResult button);

}  // namespace orva::qt
