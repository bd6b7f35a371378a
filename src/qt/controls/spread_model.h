// A Qt table model over a Spread: row r, column c of the model is cell
// (c + 1, r + 1) of the spread. It shows the cells' display texts, their
// background (locked cells in the lock colour) and alignment; a cell is
// editable when the spread lets the user type into it, and text the user
// enters goes through Spread::TypeText, so the cell's kind, limits and lock
// decide what is kept. The model follows the spread's change notices.
#pragma once

#include "host/controls/signal.h"
#include "host/controls/spread.h"
#include "qt/controls/sized_table_model.h"

namespace orva::qt {

class SpreadModel : public SizedTableModel {
    Q_OBJECT

  public:
    // The text as stored, for editors (the display role shows decimals with
    // their places).
    static constexpr int kStoredTextRole = Qt::UserRole + 1;

    explicit SpreadModel(Spread& spread, QObject* parent = nullptr);

    Spread& spread() const { return spread_; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typed text: false (nothing changes) when the spread refuses it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  private:
    void OnGridChange(const GridChange& change);
    void FollowCounts();

    Spread& spread_;
    Subscription sub_;
};

// A cell's horizontal alignment as the grid and its editors draw it.
Qt::Alignment SpreadAlignment(HAlign align);

}  // namespace orva::qt
