#include "host/export/export_component.h"

#include "host/progress.h"
#include "orvasaleprice/com_error.h"

namespace orva {

void ExportRow::SetCell(int k, std::string_view text) {
    if (k < 1 || k > Count())
        throw ComError(ComError::kGeneric,
                       "Export cell " + std::to_string(k) + " is outside the row's " +
                           std::to_string(Count()) + " columns",
                       "Export");
    cells_[static_cast<std::size_t>(k - 1)].assign(text);
}

void ExportComponent::SetCols(int cols) {
    if (cols < 0)
        throw ComError(ComError::kGeneric, "Invalid export column count", "Export");
    columns_.resize(static_cast<std::size_t>(cols));
}

ExportColumn& ExportComponent::ColumnRef(int k) {
    if (k < 1 || k > Cols())
        throw ComError(ComError::kGeneric, "Export column " + std::to_string(k) + " does not exist",
                       "Export");
    return columns_[static_cast<std::size_t>(k - 1)];
}

const ExportColumn& ExportComponent::Column(int k) const {
    return const_cast<ExportComponent*>(this)->ColumnRef(k);
}

void ExportComponent::SetColCaption(int k, std::string_view caption) {
    ColumnRef(k).caption.assign(caption);
}

void ExportComponent::SetColWidth(int k, int width) {
    ColumnRef(k).width = width;
}

void ExportComponent::SetColKind(int k, ExportKind kind) {
    ColumnRef(k).kind = kind;
}

void ExportComponent::SetRows(std::int64_t rows) {
    if (rows < 0)
        throw ComError(ComError::kGeneric, "Invalid export row count", "Export");
    rows_ = rows;
}

std::optional<ExportTarget> ExportComponent::ChooseTarget(const std::string& /*title*/) {
    if (!preset_)
        throw ComError(ComError::kGeneric, "No file was given to export to", "Export");
    return preset_;
}

bool ExportComponent::Export(const std::string& title) {
    written_.clear();
    const std::optional<ExportTarget> target = ChooseTarget(title);
    if (!target)
        return false;
    auto source = [this](std::int64_t row, std::vector<std::string>& cells) {
        ExportRow data(cells);
        loadData_.Emit(row, data);
    };
    ProgressScope scope(title, rows_);
    auto progress = [&scope](std::int64_t done, std::int64_t) { return scope.Step(done); };
    try {
        WriteExportFile(*target, title, columns_, rows_, source, progress);
    } catch (const ExportCancelled&) {
        return false;
    }
    written_ = target->path;
    return true;
}

}  // namespace orva
