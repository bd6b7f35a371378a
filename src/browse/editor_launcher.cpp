#include "browse/editor_launcher.h"

#include "editor/frm_property.h"

namespace orva {
namespace {

// The module's own launcher: the record editor window, shown modally and
// unloaded once it has hidden itself.
void LaunchModuleEditor(ModuleContext& ctx, const EditorRequest& request) {
    frmProperty editor(ctx);
    editor.OperationType(request.operationType);
    editor.EntryID(request.entryID);
    editor.CustID(request.custID);
    editor.ItemID(request.itemID);
    editor.LDG(request.ldg);
    editor.Show();
    editor.Unload();
}

}  // namespace

void LaunchPropertyEditor(ModuleContext& ctx, const EditorRequest& request) {
    if (ctx.editorLauncher)
        ctx.editorLauncher(request);
    else
        LaunchModuleEditor(ctx, request);
}

void SetEditorLauncher(ModuleContext& ctx, EditorLauncher launcher) {
    ctx.editorLauncher = std::move(launcher);
}

}  // namespace orva
