// The preview of an import, the window "Import…" of the browse window opens:
// every row of the price list with its outcome and reason, the counts per
// outcome, a filter by outcome, the user's choice for each row below the
// minimum price, and "Import", which writes exactly the rows the preview
// shows as written (with the progress window and Cancel). Afterwards the
// rows that were not written can be saved as a spreadsheet; a template with
// just the captions can be saved at any time.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/controls/signal.h"
#include "host/modal_window.h"
#include "import/import_plan.h"
#include "import/import_write.h"

namespace orva {

class ModuleContext;

// Where the files of an import come from and go to: the host's file dialogs
// (a test or a script answers them itself). Registered by this ProgID.
class ImportFiles {
  public:
    static constexpr const char* kProgID = "OrvaSalePrice.ImportFiles";
    virtual ~ImportFiles() = default;
    // The price list to import (.xlsx or .csv); nothing when the user cancels.
    virtual std::optional<std::string> ChooseSource() = 0;
    // Where to save a spreadsheet titled `title`; nothing when the user cancels.
    virtual std::optional<std::string> ChooseTarget(const std::string& title) = 0;
    // The sheet of a workbook with several (`sheets`, in their order) to
    // import; nothing when the user cancels.
    virtual std::optional<std::string> ChooseSheet(const std::vector<std::string>& sheets) = 0;
};

class ImportPreview : public ModalWindow {
  public:
    static constexpr const char* kWindowName = "frmImportPreview";

    ImportPreview(ModuleContext& ctx, import::ImportPlan plan);
    std::string WindowName() const override { return kWindowName; }

    const import::ImportPlan& Plan() const { return plan_; }
    // The rows the list shows, as indexes of Plan().rows: every row, or
    // those of one outcome.
    const std::vector<std::size_t>& Shown() const { return shown_; }
    std::optional<import::RowOutcome> Filter() const { return filter_; }
    void SetFilter(std::optional<import::RowOutcome> outcome);
    // "New 3, Changed 1, ..." in the session's language: the outcomes rows have.
    std::string Counts() const;
    // The user lets a row below the minimum price be written, or not.
    void ChooseBelowFloor(std::size_t row, bool write);

    // Writes the rows, then says how many were added and changed. Once.
    void Import();
    bool Imported() const { return result_.has_value(); }
    const std::optional<import::ImportResult>& Result() const { return result_; }
    // Saves the rows not written (after the import) or not to be written.
    void SaveRejects();
    void SaveTemplate();

    // The rows, their outcomes or the counts changed.
    Signal<>& Changed() { return changed_; }

  private:
    void Refilter();
    std::shared_ptr<ImportFiles> Files();

    ModuleContext& ctx_;
    import::ImportPlan plan_;
    std::optional<import::RowOutcome> filter_;
    std::vector<std::size_t> shown_;
    std::optional<import::ImportResult> result_;
    Signal<> changed_;
};

}  // namespace orva
