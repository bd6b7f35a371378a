// Plugs the record editor's window into the Qt face: once registered, every
// frmProperty the module shows (from the browse window's commands) opens as
// a PropertyWindow in a modal dialog titled with the window's caption.
#pragma once

namespace orva::qt {

// Registers the view under the window name "frmProperty"; calling it again
// replaces the earlier registration.
void RegisterPropertyView();

}  // namespace orva::qt
