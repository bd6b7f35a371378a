// The widget of the find/filter/sort dialog (FindDialog): the criterion rows
// (field, operator, value editors that fit the field: a text box for text
// and numbers, a date box with a calendar, the choice list) joined by "all
// of" or "any of", or the three sort keys; the status and message lines; OK
// (the default button: Enter runs) and Cancel (Esc). Rows are rebuilt when
// the logic's rows change; typing goes straight to the logic.
#pragma once

#include <QWidget>

#include "host/controls/signal.h"
#include "host/find/find_dialog.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace orva::qt {

class FindDialogView : public QWidget {
    Q_OBJECT

  public:
    explicit FindDialogView(FindDialog& logic, QWidget* parent = nullptr);

    FindDialog& logic() const { return logic_; }
    QComboBox* joinBox() const { return join_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* addButton() const { return add_; }
    QLabel* messageLine() const { return message_; }
    // The editors of criterion row `row`: field, operator, first value.
    QWidget* RowWidget(int row, int column) const;

  private:
    void Follow();
    void BuildCriteria();
    void BuildSortKeys();
    QWidget* ValueEditor(int row, int which, const FindField& field, const std::string& value);
    void ShowNotices();

    FindDialog& logic_;
    Subscription changed_;
    QComboBox* join_ = nullptr;
    QGridLayout* rows_ = nullptr;
    QWidget* rowsHost_ = nullptr;
    QPushButton* add_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool building_ = false;
    bool firstShown_ = false;
};

}  // namespace orva::qt
