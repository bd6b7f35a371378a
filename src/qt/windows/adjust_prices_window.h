// The widget of the adjustment dialog frmAdjustPrices: the node, the change
// (percentage or amount, with its rounding), the scope (unit, currency, the
// day the entries are in force on), the way (in place, or new entries from
// an effective day), the preview list with its counts, and Preview, OK and
// Cancel. What the user sets goes into the logic's inputs before each
// command; the list follows the logic's plan.
#pragma once

#include <QWidget>

#include "browse/frm_adjust_prices.h"
#include "host/controls/signal.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace orva::qt {

class AdjustPricesWindow : public QWidget {
  public:
    explicit AdjustPricesWindow(frmAdjustPrices& logic, QWidget* parent = nullptr);

    QLineEdit* valueBox() const { return value_; }
    QComboBox* roundingBox() const { return roundTo_; }
    QRadioButton* newFromDayOption() const { return newFromDay_; }
    QPushButton* previewButton() const { return preview_; }
    QPushButton* okButton() const { return ok_; }
    QTableWidget* previewList() const { return list_; }
    QLabel* countsLabel() const { return counts_; }

  private:
    void Build();
    // The controls' values into the logic's inputs.
    void Store();
    // The choices and the preview from the logic.
    void Follow();

    frmAdjustPrices& logic_;
    QRadioButton* percent_ = nullptr;
    QRadioButton* amount_ = nullptr;
    QLineEdit* value_ = nullptr;
    QComboBox* roundTo_ = nullptr;
    QComboBox* unit_ = nullptr;
    QComboBox* currency_ = nullptr;
    QDateEdit* validOn_ = nullptr;
    QRadioButton* inPlace_ = nullptr;
    QRadioButton* newFromDay_ = nullptr;
    QDateEdit* effective_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLabel* counts_ = nullptr;
    QPushButton* preview_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    Subscription sub_;
};

}  // namespace orva::qt
