#include "qt/controls/spread_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "qt/controls/cell_validator.h"
#include "qt/controls/key_codes.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_model.h"
#include "qt/controls/spread_view.h"

namespace orva::qt {
namespace {

// The text an editor was opened with, to tell whether the user changed it.
constexpr const char* kInitialText = "orvaInitialText";

// Keys that are commands rather than typing while a cell is edited.
bool IsCommandKey(const QKeyEvent& key) {
    const int k = key.key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return true;
    return (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0 &&
           HostKeyCode(k) != 0 && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_Shift;
}

// Ctrl+A, Ctrl+C and the like belong to the editor.
bool IsEditingShortcut(const QKeyEvent& key) {
    return key.matches(QKeySequence::SelectAll) || key.matches(QKeySequence::Copy) ||
           key.matches(QKeySequence::Cut) || key.matches(QKeySequence::Paste) ||
           key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           key.matches(QKeySequence::MoveToPreviousWord) ||
           key.matches(QKeySequence::MoveToNextWord) ||
           key.matches(QKeySequence::SelectPreviousWord) ||
           key.matches(QKeySequence::SelectNextWord) ||
           key.matches(QKeySequence::DeleteStartOfWord) ||
           key.matches(QKeySequence::DeleteEndOfWord);
}

}  // namespace

SpreadDelegate::SpreadDelegate(SpreadView& view) : QStyledItemDelegate(&view), view_(view) {}

QWidget* SpreadDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                      const QModelIndex& index) const {
    const Spread& spread = view_.spread();
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    const CellType& type = spread.TypeAt(col, row);
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAlignment(SpreadAlignment(spread.AlignmentAt(col, row)));
    editor->setValidator(new CellValidator(type, discarded_, editor));
    if (type.kind == CellKind::kText && type.maxLength > 0)
        editor->setMaxLength(type.maxLength * 2);  // UTF-16 units; the validator counts characters
    if (type.kind == CellKind::kDate)
        editor->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
    editor_ = editor;
    return editor;
}

void SpreadDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    // Numbers are edited as they are shown (with their places).
    const QString text = index.data(Qt::DisplayRole).toString();
    line->setText(text);
    line->setProperty(kInitialText, text);
}

void SpreadDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    const QString text = line->text();
    if (text == line->property(kInitialText).toString())
        return;  // nothing typed: the cell raises no change
    if (model->setData(index, text, Qt::EditRole))
        line->setProperty(kInitialText, text);
}

QLineEdit* SpreadDelegate::OpenEditor() const {
    return editor_.data();
}

void SpreadDelegate::CommitAndClose() {
    QLineEdit* editor = editor_.data();
    if (!editor)
        return;
    editor_.clear();
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool SpreadDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsCommandKey(*key) && !IsEditingShortcut(*key)) {
            if (event->type() == QEvent::ShortcutOverride) {
                // A window shortcut (Ctrl+S) runs next: let it see the text.
                Q_EMIT commitData(editor);
                return false;
            }
            const int code = HostKeyCode(*key);
            const int shift = HostShiftState(*key);
            CommitAndClose();
            view_.setFocus();
            view_.RaiseKeyDown(code, shift);
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            // Enter: keep the text and go down a row, as in a property grid.
            if (!editor->hasAcceptableInput())
                return true;
            CommitAndClose();
            view_.setFocus();
            view_.StepRow(1);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace orva::qt
