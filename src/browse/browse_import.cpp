// "引入" (Import) from the browse window: the user picks a price list, the
// dry run plans every row (a file without the customer's or the item's
// column belongs to the leaf selected in the tree), the preview shows them,
// and once it has written them the ledger is read again.
#include "browse/browse_base.h"
#include "browse/import_preview.h"
#include "browse/tvw_builder.h"
#include "host/component_registry.h"
#include "host/host_ui.h"
#include "import/table_file.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {

void BrowseBase::mnuFileImport() {
    const std::string title = GetResText("Tesmar提示");
    try {
        const auto files = ComponentRegistry::Create<ImportFiles>(ImportFiles::kProgID);
        const std::optional<std::string> path = files->ChooseSource();
        if (!path)
            return;
        // A workbook of several sheets: the user says which.
        std::string sheet;
        if (const std::vector<std::string> sheets = import::TableSheets(*path); sheets.size() > 1) {
            const std::optional<std::string> chosen = files->ChooseSheet(sheets);
            if (!chosen)
                return;
            sheet = *chosen;
        }
        import::ImportLeaf leaf;
        if (auto key = ParseTreeNodeKey(SelectedKey()); key && key->kind == TreeNodeKey::kLeaf)
            (ItemTree() ? leaf.itemID : leaf.custID) = key->id;
        ImportPreview preview(ctx_,
                              import::PlanImport(ctx_, ctx_.Connection(), *path, sheet, leaf));
        ctx_.Ui().ShowModal(preview);
        if (preview.Imported())
            Refresh();
    } catch (const import::SourceError& e) {
        ctx_.Ui().MessageBox(import::SourceErrorText(e), MsgButtons::kOK, MsgIcon::kExclamation,
                             title);
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation, title);
    }
}

}  // namespace orva
