// The export component ("Portex80.Export"): the window declares the columns
// (caption, width, kind), the row count and a title, then runs Export; the
// component asks where to write (ChooseTarget: a file dialog in the Qt face,
// or the answer given beforehand with SetTarget), pulls every row through its
// LoadData event and writes the file (export_file.h). The rows written are
// reported as progress of the host's user interface, where the user may
// cancel.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/controls/signal.h"
#include "host/export/export_file.h"

namespace orva {

// The row object of LoadData: the window stores cell k (1-based) of the row.
class ExportRow {
  public:
    explicit ExportRow(std::vector<std::string>& cells) : cells_(cells) {}
    // A cell outside 1..column count raises ComError.
    void SetCell(int k, std::string_view text);
    int Count() const { return static_cast<int>(cells_.size()); }

  private:
    std::vector<std::string>& cells_;
};

class ExportComponent {
  public:
    static constexpr const char* kProgID = "Portex80.Export";
    static constexpr int kMaxColWidth = 255;

    virtual ~ExportComponent() = default;

    // Column count; columns added are empty text columns, a negative count
    // raises ComError.
    void SetCols(int cols);
    int Cols() const { return static_cast<int>(columns_.size()); }
    // Column k (1-based); outside 1..Cols raises ComError.
    void SetColCaption(int k, std::string_view caption);
    void SetColWidth(int k, int width);
    void SetColKind(int k, ExportKind kind);
    const ExportColumn& Column(int k) const;

    // Data rows; a negative count raises ComError.
    void SetRows(std::int64_t rows);
    std::int64_t Rows() const { return rows_; }

    // Raised for each data row R (1-based) while Export runs.
    [[nodiscard]] Subscription OnLoadData(std::function<void(std::int64_t, ExportRow&)> fn) {
        return loadData_.Subscribe(std::move(fn));
    }

    // The answer to the file question, given beforehand (a command line
    // option, a test); ChooseTarget then asks nobody.
    void SetTarget(ExportTarget target) { preset_ = std::move(target); }

    // Asks for the file and writes it. True when a file was written; false
    // when the user chose no file or cancelled while it was written (the
    // file is then as it was). A failure raises ComError.
    bool Export(const std::string& title);

    // The file the last Export wrote ("" when none).
    const std::string& WrittenPath() const { return written_; }

  protected:
    // Where to write: the preset target, else nothing can be asked of a user
    // here and ComError is raised. The Qt face asks with a file dialog (and
    // nothing when the user cancels).
    virtual std::optional<ExportTarget> ChooseTarget(const std::string& title);
    const std::optional<ExportTarget>& PresetTarget() const { return preset_; }

  private:
    ExportColumn& ColumnRef(int k);

    std::vector<ExportColumn> columns_;
    std::int64_t rows_ = 0;
    std::optional<ExportTarget> preset_;
    std::string written_;
    Signal<std::int64_t, ExportRow&> loadData_;
};

}  // namespace orva
