#include "qt/controls/ledger_model.h"

#include <QApplication>
#include <QBrush>
#include <QStyle>
#include <algorithm>

#include "qt/controls/qt_text.h"

namespace orva::qt {

Qt::Alignment LedgerAlignment(int colAlignment) {
    switch (colAlignment) {
        case Ledger::kAlignRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        case Ledger::kAlignCenter:
            return Qt::AlignCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

LedgerModel::LedgerModel(Ledger& ledger, QObject* parent)
    : SizedTableModel(ledger.Rows() - kTitleRows, ledger.Cols(), parent), ledger_(ledger) {
    sub_ = ledger_.Subscribe([this](const GridChange& change) { OnGridChange(change); });
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = LedgerRow(index.row());
    const int col = index.column() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return Q(ledger_.CellText(row, col));
        case Qt::ToolTipRole: {
            // A marked row's note follows the cell's own text.
            const QString text = Q(ledger_.CellText(row, col));
            const QString note = Q(ledger_.RowNote(row));
            if (note.isEmpty())
                return text;
            return text.isEmpty() ? note : text + QLatin1Char('\n') + note;
        }
        case Qt::BackgroundRole:
            if (ledger_.RowMarked(row))
                return QBrush(kMarkedRowColor);
            return QBrush(ToQColor(ledger_.RowBkColor(row)));
        case Qt::DecorationRole:
            // The mark stands in the first column shown.
            if (col == FirstShownCol() && ledger_.RowMarked(row))
                return MarkIcon();
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(LedgerAlignment(ledger_.ColAlignment(col)));
        default:
            return {};
    }
}

int LedgerModel::FirstShownCol() const {
    for (int c = 1; c <= cols_; ++c) {
        if (!ledger_.ColHidden(c))
            return c;
    }
    return 0;
}

QIcon LedgerModel::MarkIcon() const {
    if (markIcon_.isNull())
        markIcon_ = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    return markIcon_;
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section < 0)
        return {};
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole && section < rows_ ? QVariant(section + 1) : QVariant();
    }
    if (section >= cols_)
        return {};
    if (role == Qt::DisplayRole) {
        const QString top = Q(ledger_.CellText(1, section + 1));
        const QString bottom = Q(ledger_.CellText(2, section + 1));
        return bottom.isEmpty() ? top : top.isEmpty() ? bottom : top + QLatin1Char('\n') + bottom;
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void LedgerModel::FollowCounts() {
    ResizeTo(ledger_.Rows() - kTitleRows, ledger_.Cols());
}

void LedgerModel::OnGridChange(const GridChange& change) {
    if (change.Has(GridChange::kLayout))
        FollowCounts();
    if (!change.Has(GridChange::kContent) || cols_ == 0)
        return;
    const CellBlock& b = change.cells;
    const int c1 = b.EveryCol() ? 0 : std::clamp(b.col1 - 1, 0, cols_ - 1);
    const int c2 = b.EveryCol() ? cols_ - 1 : std::clamp(b.col2 - 1, 0, cols_ - 1);
    // Title rows are the header's.
    if (b.EveryRow() || b.row1 <= kTitleRows)
        Q_EMIT headerDataChanged(Qt::Horizontal, c1, c2);
    if (rows_ == 0)
        return;
    const int first = b.EveryRow() ? 0 : ModelRow(b.row1);
    const int last = b.EveryRow() ? rows_ - 1 : ModelRow(b.row2);
    if (last < 0 || first >= rows_)
        return;
    Q_EMIT dataChanged(index(std::max(first, 0), c1), index(std::min(last, rows_ - 1), c2));
}

}  // namespace orva::qt
