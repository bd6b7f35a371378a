#include "browse/editor_launcher.h"

#include "host/com_error.h"

namespace orva {
namespace {

// The module's own launcher. Until the record editor window is part of the
// build there is none to open, and the request is refused with a clear error.
void LaunchModuleEditor(const EditorRequest&) {
    throw ComError(ComError::kCannotCreate,
                   "The record editor window frmProperty is not available in this build.");
}

EditorLauncher& Launcher() {
    static EditorLauncher launcher = LaunchModuleEditor;
    return launcher;
}

}  // namespace

void LaunchPropertyEditor(const EditorRequest& request) {
    Launcher()(request);
}

void SetEditorLauncher(EditorLauncher launcher) {
    Launcher() = launcher ? std::move(launcher) : EditorLauncher(LaunchModuleEditor);
}

}  // namespace orva
