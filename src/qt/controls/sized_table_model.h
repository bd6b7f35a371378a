// A table model whose row and column counts follow a control model's: it
// keeps the counts the view was last told and, when the control's counts
// change, tells the view which rows and columns came or went.
#pragma once

#include <QAbstractTableModel>

namespace orva::qt {

class SizedTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

  protected:
    SizedTableModel(int rows, int cols, QObject* parent);

    // Grows or shrinks to `rows` × `cols` (negative counts as 0), with the
    // insert and remove notices of what changed.
    void ResizeTo(int rows, int cols);

    int rows_ = 0;
    int cols_ = 0;
};

}  // namespace orva::qt
