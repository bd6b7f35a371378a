#include "qt/windows/low_price_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/controls/key_codes.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"

namespace orva::qt {
namespace {

// The currency box: every key but those that move the focus or answer the
// dialog goes to the logic, which keeps the box showing the currency.
class CurrencyBox : public QLineEdit {
  public:
    CurrencyBox(frmSELowPrice& logic, QWidget* parent) : QLineEdit(parent), logic_(logic) {
        setReadOnly(true);  // no typing, pasting or dropping
        setContextMenuPolicy(Qt::NoContextMenu);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                QLineEdit::keyPressEvent(event);
                return;
            default:
                break;
        }
        if (const int code = HostKeyCode(*event); code != 0)
            logic_.TxtCurrencyKeyDown(code, HostShiftState(*event));
        event->accept();
    }

  private:
    frmSELowPrice& logic_;
};

// A caption that names its key in brackets ("确定(Y)") gets Alt and that key.
void SetCaption(QPushButton* button, const std::string& caption) {
    const QString text = Q(caption);
    button->setText(text);
    static const QRegularExpression kKey(QStringLiteral("\\(([A-Za-z])\\)\\s*$"));
    const QRegularExpressionMatch m = kKey.match(text);
    if (m.hasMatch() && !text.contains(QLatin1Char('&'))) {
        button->setShortcut(QKeySequence(QStringLiteral("Alt+") + m.captured(1).toUpper()));
    } else {
        button->setShortcut(QKeySequence());
    }
}

QLineEdit* ReadOnlyBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QLabel* Caption(QWidget* parent, const char* name, QWidget* buddy) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

LowPriceWindow::LowPriceWindow(frmSELowPrice& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("frmSELowPrice"));
    QGridLayout* fields = BuildFields();
    BuildOptions();
    QHBoxLayout* note = BuildNote();
    QHBoxLayout* buttons = BuildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addLayout(fields);
    layout->addWidget(frame1_);
    layout->addLayout(note);
    layout->addStretch(1);
    layout->addLayout(buttons);
    Connect();

    sub_ = logic_.Subscribe([this] { Follow(); });
    Follow();
    setMinimumWidth(440);
    resize(480, sizeHint().height());
    vsSELowPrice_->setFocus();
}

QGridLayout* LowPriceWindow::BuildFields() {
    txtCust_ = ReadOnlyBox(this, "txtCust");
    txtItem_ = ReadOnlyBox(this, "txtItem");
    txtCurrency_ = new CurrencyBox(logic_, this);
    txtCurrency_->setObjectName(QStringLiteral("txtCurrency"));
    cmdOPen_ = new QToolButton(this);
    cmdOPen_->setObjectName(QStringLiteral("cmdOPen"));
    cmdOPen_->setText(QStringLiteral("..."));
    cmdOPen_->setToolTip(QStringLiteral("F7"));
    cmdOPen_->setFocusPolicy(Qt::NoFocus);

    vsSELowPrice_ = new SpreadView(logic_.vsSELowPrice(), this);
    vsSELowPrice_->setObjectName(QStringLiteral("vsSELowPrice"));
    vsSELowPrice_->setTabKeyNavigation(false);
    vsSELowPrice_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsSELowPrice_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsSELowPrice_->horizontalHeader()->setStretchLastSection(true);
    vsSELowPrice_->setFixedHeight(vsSELowPrice_->verticalHeader()->defaultSectionSize() +
                                  2 * vsSELowPrice_->frameWidth());

    lblSupply_ = Caption(this, "lblSupply", txtCust_);
    lblItem_ = Caption(this, "lblItem", txtItem_);
    lblCurrency_ = Caption(this, "lblCurrency", txtCurrency_);
    lblPOHighPrice_ = Caption(this, "lblPOHighPrice", vsSELowPrice_);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    fields->setVerticalSpacing(8);
    fields->addWidget(lblSupply_, 0, 0);
    fields->addWidget(txtCust_, 0, 1, 1, 2);
    fields->addWidget(lblItem_, 1, 0);
    fields->addWidget(txtItem_, 1, 1, 1, 2);
    fields->addWidget(lblCurrency_, 2, 0);
    fields->addWidget(txtCurrency_, 2, 1);
    fields->addWidget(cmdOPen_, 2, 2);
    fields->addWidget(lblPOHighPrice_, 3, 0);
    fields->addWidget(vsSELowPrice_, 3, 1, 1, 2);
    fields->setColumnStretch(1, 1);
    return fields;
}

void LowPriceWindow::BuildOptions() {
    frame1_ = new QGroupBox(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    optAllCust_ = new QRadioButton(frame1_);
    optAllCust_->setObjectName(QStringLiteral("optAllCust"));
    optSingleCust_ = new QRadioButton(frame1_);
    optSingleCust_->setObjectName(QStringLiteral("optSingleCust"));
    auto* options = new QHBoxLayout(frame1_);
    options->addWidget(optSingleCust_);
    options->addWidget(optAllCust_);
    options->addStretch(1);
}

QHBoxLayout* LowPriceWindow::BuildNote() {
    auto* imgNote = new QLabel(this);
    imgNote->setObjectName(QStringLiteral("imgNote"));
    imgNote->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    imgNote->setAlignment(Qt::AlignTop);
    lblNote_ = new QLabel(this);
    lblNote_->setObjectName(QStringLiteral("lblNote"));
    lblNote_->setWordWrap(true);
    lblNote_->setTextFormat(Qt::PlainText);
    auto* note = new QHBoxLayout;
    note->addWidget(imgNote, 0, Qt::AlignTop);
    note->addWidget(lblNote_, 1);
    return note;
}

QHBoxLayout* LowPriceWindow::BuildButtons() {
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    return buttons;
}

void LowPriceWindow::Connect() {
    connect(cmdOPen_, &QToolButton::clicked, this, [this] { logic_.CmdOPenClick(); });
    connect(optAllCust_, &QRadioButton::clicked, this, [this] { logic_.OptAllCustClick(); });
    connect(optSingleCust_, &QRadioButton::clicked, this, [this] { logic_.OptSingleCustClick(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        vsSELowPrice_->CommitEdit();  // the price being typed counts
        logic_.CmdOKClick();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { logic_.CmdCancelClick(); });

    setTabOrder(txtCurrency_, vsSELowPrice_);
    setTabOrder(vsSELowPrice_, optSingleCust_);
    setTabOrder(optSingleCust_, optAllCust_);
    setTabOrder(optAllCust_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
}

void LowPriceWindow::Follow() {
    const frmSELowPrice::Captions& t = logic_.Texts();
    setWindowTitle(Q(t.caption));
    if (QWidget* top = window(); top != this)
        top->setWindowTitle(Q(t.caption));
    lblSupply_->setText(Q(t.lblSupply));
    lblItem_->setText(Q(t.lblItem));
    lblCurrency_->setText(Q(t.lblCurrency));
    lblPOHighPrice_->setText(Q(t.lblPOHighPrice));
    optAllCust_->setText(Q(t.optAllCust));
    optSingleCust_->setText(Q(t.optSingleCust));
    SetCaption(cmdOK_, t.cmdOK);
    SetCaption(cmdCancel_, t.cmdCancel);
    lblNote_->setText(Q(t.lblNote));

    txtCust_->setText(Q(logic_.TxtCust()));
    txtCust_->setCursorPosition(0);
    txtItem_->setText(Q(logic_.TxtItem()));
    txtItem_->setCursorPosition(0);
    txtCurrency_->setText(Q(logic_.TxtCurrency()));
    optAllCust_->setChecked(logic_.OptAllCust());
    optSingleCust_->setChecked(logic_.OptSingleCust());
}

}  // namespace orva::qt
