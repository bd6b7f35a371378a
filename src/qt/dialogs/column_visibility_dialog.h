// The column visibility dialog on a ledger: one tick per column that has a
// title (columns the window keeps at width 0 are not offered), ticked when
// the column is shown. OK applies the ticks through Ledger::SetColHidden;
// the window saves them with its column settings.
#pragma once

#include <QDialog>

#include "host/controls/ledger.h"

class QListWidget;

namespace orva::qt {

class ColumnVisibilityDialog : public QDialog {
    Q_OBJECT

  public:
    ColumnVisibilityDialog(Ledger& ledger, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }

  public Q_SLOTS:
    void accept() override;

  private:
    Ledger& ledger_;
    QListWidget* list_;
};

// The title a column is listed under: title row 1 (of the merged cell it
// lies in) and title row 2, joined with " - " when both are there.
QString ColumnTitle(Ledger& ledger, int col);

// Runs the dialog; true when the user pressed OK.
bool ShowColumnVisibilityDialog(Ledger& ledger, QWidget* parent);

}  // namespace orva::qt
