#include "qt/controls/ledger_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "qt/controls/cjk_fonts.h"
#include "qt/controls/key_codes.h"
#include "qt/controls/ledger_header.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/qt_text.h"

namespace orva::qt {

LedgerView::LedgerView(Ledger& ledger, QWidget* parent)
    : QTableView(parent),
      ledger_(ledger),
      model_(new LedgerModel(ledger, this)),
      header_(new LedgerHeader(ledger, this)) {
    setHorizontalHeader(header_);
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header_->setStretchLastSection(false);
    // Widths the user drags are the ledger's (the window saves them).
    connect(header_, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!syncing_ && size > 0 && section < ledger_.Cols())
            ledger_.SetColWidth(section + 1, PixelsToTwips(size, logicalDpiX()));
    });
    // A row chosen with the mouse or the keyboard is the ledger's selected row.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid())
                    return;
                syncing_ = true;
                ledger_.UserClick(LedgerModel::LedgerRow(current.row()), current.column() + 1);
                syncing_ = false;
            });
    // The highlighted row and the ledger's selected row are one state: the
    // commands act on the selected row, so the clerk must see it. Qt drops the
    // highlight of the current row on its own for a Ctrl move within it
    // (Ctrl+Home, Ctrl+End, Ctrl+arrows), Ctrl+Space and a Ctrl+click on it;
    // the ledger's row is highlighted again.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!syncing_ && !selectionModel()->hasSelection())
            HighlightSelRow();
    });
    connect(model_, &QAbstractItemModel::headerDataChanged, header_->viewport(),
            [this] { header_->viewport()->update(); });
    sub_ = ledger_.Subscribe([this](const GridChange& change) { OnGridChange(change); });
    FollowFont();
    FollowLayout();
    FollowCurrent();
}

QRect LedgerView::LedgerRowRect(int ledgerRow) const {
    const int row = LedgerModel::ModelRow(ledgerRow);
    if (row < 0 || row >= model_->rowCount())
        return {};
    return QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
}

void LedgerView::keyPressEvent(QKeyEvent* event) {
    const int code = HostKeyCode(*event);
    if (code != 0 && ledger_.UserKeyDown(code, HostShiftState(*event)) == 0) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void LedgerView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    ledger_.UserDblClick(LedgerModel::LedgerRow(index.row()), index.column() + 1);
}

void LedgerView::OnGridChange(const GridChange& change) {
    if (change.Has(GridChange::kLayout))
        FollowLayout();
    if (change.Has(GridChange::kLayout) || change.Has(GridChange::kCurrent))
        FollowCurrent();
    if (change.Has(GridChange::kTextlines))
        FollowFont();
}

void LedgerView::FollowLayout() {
    syncing_ = true;
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : kDefaultDpi;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const bool hidden = ledger_.ColHidden(c + 1) || ledger_.ColWidth(c + 1) <= 0;
        setColumnHidden(c, hidden);
        if (!hidden)
            setColumnWidth(c, TwipsToPixels(ledger_.ColWidth(c + 1), dpi));
    }
    header_->viewport()->update();
    syncing_ = false;
}

void LedgerView::FollowCurrent() {
    if (syncing_)
        return;
    syncing_ = true;
    const int row = LedgerModel::ModelRow(ledger_.SelRow());
    if (row >= 0 && row < model_->rowCount()) {
        int col = ledger_.Col() > 0 ? ledger_.Col() - 1 : currentIndex().column();
        if (col < 0 || col >= model_->columnCount() || isColumnHidden(col)) {
            col = 0;
            while (col < model_->columnCount() - 1 && isColumnHidden(col)) ++col;
        }
        const QModelIndex target = model_->index(row, col);
        selectionModel()->setCurrentIndex(
            target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(target);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void LedgerView::HighlightSelRow() {
    const int row = LedgerModel::ModelRow(ledger_.SelRow());
    if (row < 0 || row >= model_->rowCount())
        return;  // a title row or none: nothing to highlight
    syncing_ = true;
    selectionModel()->select(model_->index(row, 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
}

void LedgerView::FollowFont() {
    const LedgerTextline& line = ledger_.Textline(1);
    QFont f = CjkFont(Q(line.fontName), font());
    setFont(f);
    header_->setFont(f);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 6);
    header_->updateGeometry();
}

}  // namespace orva::qt
