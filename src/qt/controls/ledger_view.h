// The view of a Ledger: a table of the data rows under a two-row title
// header. Rows are virtual: only the rows on screen are asked of the ledger,
// so a ledger of 100,000 entries opens and scrolls as fast as one of ten.
// Hidden columns, widths, alignment, row colours and the selected row follow
// the ledger; a click selects a row (Ledger::UserClick), a double click, the
// Delete key and Enter go to the ledger's events. The highlighted row is
// always the ledger's selected row. The cells use the font of
// the ledger's title lines (a Chinese font by default) with fallbacks that
// render Chinese.
#pragma once

#include <QTableView>

#include "host/controls/ledger.h"
#include "host/controls/signal.h"

namespace orva::qt {

class LedgerModel;
class LedgerHeader;

class LedgerView : public QTableView {
    Q_OBJECT

  public:
    explicit LedgerView(Ledger& ledger, QWidget* parent = nullptr);

    Ledger& ledger() const { return ledger_; }
    LedgerModel* ledgerModel() const { return model_; }
    LedgerHeader* header() const { return header_; }

    // The model row shown for a ledger row (rows 1 and 2 have none: -1).
    QRect LedgerRowRect(int ledgerRow) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyboardSearch(const QString&) override {}

  private:
    void OnGridChange(const GridChange& change);
    void FollowLayout();
    void FollowCurrent();
    // Highlights the ledger's selected row without moving the current cell.
    void HighlightSelRow();
    void FollowFont();

    Ledger& ledger_;
    LedgerModel* model_;
    LedgerHeader* header_;
    bool syncing_ = false;
    Subscription sub_;
};

}  // namespace orva::qt
