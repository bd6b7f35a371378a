// A Qt table model over the data rows of a Ledger: model row r is ledger row
// r + 3 (rows 1 and 2 are the title rows, which the header draws), model
// column c is ledger column c + 1. The model holds no texts: a cell's text is
// asked of the ledger when the view paints it, and the ledger asks its owner
// only for rows it has not cached. The model follows the ledger's notices.
// A row the ledger's owner marks is drawn on another background with a sign
// in its first shown column, and its note is added to its cells' tool tips.
#pragma once

#include <QColor>
#include <QIcon>

#include "host/controls/ledger.h"
#include "host/controls/signal.h"
#include "qt/controls/sized_table_model.h"

namespace orva::qt {

class LedgerModel : public SizedTableModel {
    Q_OBJECT

  public:
    static constexpr int kTitleRows = 2;
    // The background of a row the ledger's owner marks, whatever its own
    // colour; the first column shown also carries a warning sign.
    static constexpr QColor kMarkedRowColor{255, 236, 179};

    explicit LedgerModel(Ledger& ledger, QObject* parent = nullptr);

    Ledger& ledger() const { return ledger_; }

    // Ledger row of a model row and back.
    static int LedgerRow(int modelRow) { return modelRow + kTitleRows + 1; }
    static int ModelRow(int ledgerRow) { return ledgerRow - kTitleRows - 1; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The title cells of a column, row 1 above row 2 (the header draws them
    // with their merges).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void OnGridChange(const GridChange& change);
    void FollowCounts();
    int FirstShownCol() const;
    QIcon MarkIcon() const;

    Ledger& ledger_;
    Subscription sub_;
    mutable QIcon markIcon_;
};

Qt::Alignment LedgerAlignment(int colAlignment);

}  // namespace orva::qt
