// The two ways the editor's commands report a refused check: a plain message
// box under the title "Tesmar提示", and the host's message dialog. Both take
// texts already localised by the caller.
#pragma once

#include <string>

#include "host/host_ui.h"
#include "session/module_context.h"

namespace orva {

// A message box with the OK button and the title "Tesmar提示".
void EditorNotice(ModuleContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::kNone);

// A message dialog of kind 0; an empty title or detail is not set.
void EditorDialog(ModuleContext& ctx, const std::string& title, const std::string& headline,
                  const std::string& detail = {});

}  // namespace orva
