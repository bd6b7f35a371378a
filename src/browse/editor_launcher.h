// How the browse window opens the record editor window frmProperty: it fills
// an EditorRequest and calls LaunchPropertyEditor, which creates the editor,
// sets its properties, shows it modally through the user interface and
// unloads it once it has hidden itself. The launcher is the module context's
// and replaceable, so the editor window plugs in here and tests stand in for
// it:
//
//   SetEditorLauncher(ctx, [&ctx](const EditorRequest& r) {
//       frmProperty editor(ctx);
//       editor.OperationType(r.operationType);
//       editor.EntryID(r.entryID);
//       editor.CustID(r.custID);
//       editor.ItemID(r.itemID);
//       editor.LDG(r.ldg);
//       editor.Show();      // load, activate, CurrentUi().ShowModal
//       editor.Unload();
//   });
#pragma once

#include <cstdint>
#include <functional>

#include "engine/editor_operation.h"
#include "session/module_context.h"

namespace orva {

class Ledger;

struct EditorRequest {
    EditorOperation operationType = EditorOperation::kSingle;
    std::int32_t entryID = 0;  // 0 opens an empty new record
    std::int32_t custID = 0;   // the customer, or the customer group (0: all)
    std::int32_t itemID = 0;   // the item, or the item group (0: all)
    Ledger* ldg = nullptr;     // the browse window's ledger; outlives the editor
};

using EditorLauncher = std::function<void(const EditorRequest&)>;

// Opens the editor for the request and returns when it is gone. The user
// interface's errors (a headless one cannot show a modal window) are raised.
void LaunchPropertyEditor(ModuleContext& ctx, const EditorRequest& request);
// Replaces the context's launcher; an empty one puts the module's own back.
void SetEditorLauncher(ModuleContext& ctx, EditorLauncher launcher);

}  // namespace orva
