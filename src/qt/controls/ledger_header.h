// The ledger's column header: its two title rows, drawn one above the other
// with the ledger's merges (a title spanning both rows of a column, or one
// spanning the first row of neighbouring columns). It stays at the top while
// the data rows scroll. Dragging a section edge sets the column's width in
// the ledger. A title too long for its cell is elided, and the pointer
// resting on a title shows it whole.
#pragma once

#include <QHeaderView>

#include "host/controls/ledger.h"

namespace orva::qt {

class LedgerHeader : public QHeaderView {
    Q_OBJECT

  public:
    explicit LedgerHeader(Ledger& ledger, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Where the cell of title row `row` (1 or 2) of column `col` is drawn,
    // its merge taken into account, in viewport coordinates; empty when the
    // cell is hidden.
    QRect TitleCellRect(int row, int col) const;
    // The text of the title cell under viewport point `pos` (the merged
    // cell's text where it is merged); empty outside the title rows.
    QString TitleTextAt(const QPoint& pos) const;

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    bool viewportEvent(QEvent* event) override;

  private:
    int TitleRowHeight() const;
    // The text shown in title row `row` of column `col`: the first cell's of
    // its merge.
    QString TitleText(int row, int col) const;

    Ledger& ledger_;
};

}  // namespace orva::qt
