// Editors for spread cells: a line edit per cell that follows the cell's
// kind (a validator with its limits, its maximum length, its alignment).
// Function keys and Ctrl/Alt combinations pressed while editing first hand
// the typed text to the cell, close the editor and then go to the grid as a
// key of its own, so a lookup key (F7, F8) sees what the user typed.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QLineEdit;

namespace orva::qt {

class SpreadView;

class SpreadDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    explicit SpreadDelegate(SpreadView& view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // Hands the text to the cell only when the user changed it.
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // Characters no cell takes.
    void SetDiscardedCharacters(const QString& chars) { discarded_ = chars; }

    // The editor now open, if any.
    QLineEdit* OpenEditor() const;
    // Hands an open editor's text to its cell and closes the editor.
    void CommitAndClose();

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    SpreadView& view_;
    QString discarded_;
    mutable QPointer<QLineEdit> editor_;
};

}  // namespace orva::qt
