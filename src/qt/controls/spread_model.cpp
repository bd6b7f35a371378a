#include "qt/controls/spread_model.h"

#include <QBrush>
#include <algorithm>

#include "qt/controls/qt_text.h"

namespace orva::qt {

Qt::Alignment SpreadAlignment(HAlign align) {
    switch (align) {
        case HAlign::kRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        case HAlign::kCenter:
            return Qt::AlignCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

SpreadModel::SpreadModel(Spread& spread, QObject* parent)
    : SizedTableModel(spread.MaxRows(), spread.MaxCols(), parent), spread_(spread) {
    sub_ = spread_.Subscribe([this](const GridChange& change) { OnGridChange(change); });
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return Q(spread_.DisplayText(col, row));
        case Qt::EditRole:
        case kStoredTextRole:
            return Q(spread_.GetText(col, row));
        case Qt::BackgroundRole:
            return QBrush(ToQColor(spread_.BackColorAt(col, row)));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(SpreadAlignment(spread_.AlignmentAt(col, row)));
        default:
            return {};
    }
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return section < rows_ ? QVariant(section + 1) : QVariant();
    if (section >= cols_)
        return {};
    // Spreadsheet-style column letters: A ... Z, AA ...
    QString name;
    for (int n = section + 1; n > 0; n = (n - 1) / 26) name.prepend(QChar('A' + (n - 1) % 26));
    return name;
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (spread_.Editable(index.column() + 1, index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() ||
        !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    // The spread sends the content notice (and the change event) itself.
    return spread_.TypeText(index.column() + 1, index.row() + 1, U(value.toString()));
}

void SpreadModel::FollowCounts() {
    ResizeTo(spread_.MaxRows(), spread_.MaxCols());
}

void SpreadModel::OnGridChange(const GridChange& change) {
    if (change.Has(GridChange::kLayout))
        FollowCounts();
    if (rows_ == 0 || cols_ == 0)
        return;
    if (change.Has(GridChange::kContent)) {
        const CellBlock& b = change.cells;
        const int r1 = b.EveryRow() ? 0 : std::clamp(b.row1 - 1, 0, rows_ - 1);
        const int r2 = b.EveryRow() ? rows_ - 1 : std::clamp(b.row2 - 1, 0, rows_ - 1);
        const int c1 = b.EveryCol() ? 0 : std::clamp(b.col1 - 1, 0, cols_ - 1);
        const int c2 = b.EveryCol() ? cols_ - 1 : std::clamp(b.col2 - 1, 0, cols_ - 1);
        Q_EMIT dataChanged(index(r1, c1), index(r2, c2));
    }
}

}  // namespace orva::qt
