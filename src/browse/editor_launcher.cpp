#include "browse/editor_launcher.h"

#include "editor/frm_property.h"

namespace orva {
namespace {

// The module's own launcher: the record editor window, shown modally and
// unloaded once it has hidden itself.
void LaunchModuleEditor(const EditorRequest& request) {
    frmProperty editor;
    editor.OperationType(request.operationType);
    editor.EntryID(request.entryID);
    editor.CustID(request.custID);
    editor.ItemID(request.itemID);
    editor.LDG(request.ldg);
    editor.Show();
    editor.Unload();
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
