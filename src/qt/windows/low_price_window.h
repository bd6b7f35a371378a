// The widget of the minimum price dialog frmSELowPrice: the customer and
// item boxes (read only), the currency box with its lookup button, the price
// in a one-cell numeric grid, the two scope options in a frame, OK and
// Cancel, and the note with its picture. Texts and choices come from the
// logic and follow its notices; clicks and keys go to its handlers. The
// currency box takes no typing: its keys go to the logic, which opens the
// lookup for F7 or F8 and discards the rest; Tab still moves on.
#pragma once

#include <QWidget>

#include "host/controls/signal.h"
#include "minprice/frm_se_low_price.h"

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace orva::qt {

class SpreadView;

class LowPriceWindow : public QWidget {
    Q_OBJECT

  public:
    explicit LowPriceWindow(frmSELowPrice& logic, QWidget* parent = nullptr);

    frmSELowPrice& logic() const { return logic_; }
    QLineEdit* custBox() const { return txtCust_; }
    QLineEdit* itemBox() const { return txtItem_; }
    QLineEdit* currencyBox() const { return txtCurrency_; }
    QToolButton* lookupButton() const { return cmdOPen_; }
    SpreadView* priceGrid() const { return vsSELowPrice_; }
    QRadioButton* allCustOption() const { return optAllCust_; }
    QRadioButton* singleCustOption() const { return optSingleCust_; }
    QPushButton* okButton() const { return cmdOK_; }
    QPushButton* cancelButton() const { return cmdCancel_; }

  private:
    // Parts of the window, built in this order by the constructor.
    QGridLayout* BuildFields();
    void BuildOptions();
    QHBoxLayout* BuildNote();
    QHBoxLayout* BuildButtons();
    void Connect();
    void Follow();

    frmSELowPrice& logic_;
    QLabel* lblSupply_ = nullptr;
    QLabel* lblItem_ = nullptr;
    QLabel* lblCurrency_ = nullptr;
    QLabel* lblPOHighPrice_ = nullptr;
    QLabel* lblNote_ = nullptr;
    QLineEdit* txtCust_ = nullptr;
    QLineEdit* txtItem_ = nullptr;
    QLineEdit* txtCurrency_ = nullptr;
    QToolButton* cmdOPen_ = nullptr;
    SpreadView* vsSELowPrice_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QRadioButton* optAllCust_ = nullptr;
    QRadioButton* optSingleCust_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    Subscription sub_;
};

}  // namespace orva::qt
