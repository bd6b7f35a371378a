#include "qt/windows/adjust_prices_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/sql_values.h"
#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

constexpr const char* kColumns[] = {
    N_("客户代码"), N_("客户名称"),   N_("物料代码"),   N_("物料名称"),    N_("单位"),
    N_("币别"),     N_("销货量(从)"), N_("销货量(到)"), N_("生效日期"),    N_("失效日期"),
    N_("原报价"),   N_("新报价"),     N_("处理"),       N_("低于最低限价")};

QString T(const char* key) {
    return Q(GetResText(key));
}

QDate ToQDate(const std::string& text) {
    return QDate::fromString(Q(text), QStringLiteral("yyyy-MM-dd"));
}

QDateEdit* DateBox(QWidget* parent) {
    auto* box = new QDateEdit(parent);
    box->setCalendarPopup(true);
    box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return box;
}

QString ActionText(const AdjustRow& row) {
    switch (row.action) {
        case AdjustRow::kChange:
            return T(N_("修改报价"));
        case AdjustRow::kSupersede:
            return T(N_("新增价格，原价格到期"));
        case AdjustRow::kLeftAudited:
            break;
    }
    return T(N_("已审核，保留不变"));
}

}  // namespace

AdjustPricesWindow::AdjustPricesWindow(frmAdjustPrices& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("frmAdjustPrices"));
    setWindowTitle(T(N_("调整价格")) + QStringLiteral(" - ") + Q(logic_.NodeText()));
    Build();
    sub_ = logic_.Subscribe([this] { Follow(); });
    Follow();
    resize(900, 560);
}

void AdjustPricesWindow::Build() {
    percent_ = new QRadioButton(T(N_("按百分比(%)")), this);
    amount_ = new QRadioButton(T(N_("按金额")), this);
    percent_->setChecked(logic_.In().kind == PriceChange::kPercent);
    amount_->setChecked(!percent_->isChecked());
    value_ = new QLineEdit(Q(logic_.In().value), this);
    value_->setObjectName(QStringLiteral("txtValue"));
    roundTo_ = new QComboBox(this);
    roundTo_->setEditable(true);  // a step of its own, such as 5
    roundTo_->addItems(
        {QStringLiteral("0.01"), QStringLiteral("0.1"), QStringLiteral("1"), QStringLiteral("5")});
    roundTo_->setCurrentText(Q(logic_.In().roundTo));
    unit_ = new QComboBox(this);
    currency_ = new QComboBox(this);
    validOn_ = DateBox(this);
    inPlace_ = new QRadioButton(T(N_("直接修改未审核的价格")), this);
    newFromDay_ = new QRadioButton(T(N_("从生效日期起新增价格，原未审核价格到期")), this);
    inPlace_->setChecked(logic_.In().way == AdjustWay::kInPlace);
    newFromDay_->setChecked(!inPlace_->isChecked());
    effective_ = DateBox(this);
    // Two choices of their own: the kind of change and the way.
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(percent_);
    kinds->addButton(amount_);
    auto* ways = new QButtonGroup(this);
    ways->addButton(inPlace_);
    ways->addButton(newFromDay_);

    auto* change = new QHBoxLayout;
    change->addWidget(percent_);
    change->addWidget(amount_);
    change->addWidget(value_, 1);
    auto* way = new QHBoxLayout;
    way->addWidget(inPlace_);
    way->addWidget(newFromDay_);
    way->addWidget(effective_);
    way->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(T(N_("范围：")), new QLabel(Q(logic_.NodeText()), this));
    form->addRow(T(N_("调整：")), change);
    form->addRow(T(N_("舍入到：")), roundTo_);
    form->addRow(T(N_("单位：")), unit_);
    form->addRow(T(N_("币别：")), currency_);
    form->addRow(T(N_("有效日期：")), validOn_);
    form->addRow(T(N_("调整方式：")), way);

    list_ = new QTableWidget(this);
    list_->setObjectName(QStringLiteral("lstPreview"));
    list_->setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList headers;
    for (const char* c : kColumns) headers << T(c);
    list_->setHorizontalHeaderLabels(headers);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->verticalHeader()->setVisible(false);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lblCounts"));

    preview_ = new QPushButton(T(N_("预览(P)")), this);
    ok_ = new QPushButton(T(N_("确定(Y)")), this);
    cancel_ = new QPushButton(T(N_("取消(N)")), this);
    preview_->setShortcut(QKeySequence(QStringLiteral("Alt+P")));
    ok_->setShortcut(QKeySequence(QStringLiteral("Alt+Y")));
    cancel_->setShortcut(QKeySequence(QStringLiteral("Alt+N")));
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(counts_, 1);
    buttons->addWidget(preview_);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(preview_, &QPushButton::clicked, this, [this] {
        Store();
        logic_.Preview();
    });
    connect(ok_, &QPushButton::clicked, this, [this] {
        Store();
        logic_.CmdOKClick();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { logic_.CmdCancelClick(); });
}

void AdjustPricesWindow::Store() {
    frmAdjustPrices::Inputs& in = logic_.In();
    in.kind = percent_->isChecked() ? PriceChange::kPercent : PriceChange::kAmount;
    in.value = U(value_->text());
    in.roundTo = U(roundTo_->currentText());
    in.unitID = unit_->currentData().toInt();
    in.currencyID = currency_->currentData().toInt();
    in.validOn = U(validOn_->date().toString(QStringLiteral("yyyy-MM-dd")));
    in.way = inPlace_->isChecked() ? AdjustWay::kInPlace : AdjustWay::kNewFromDay;
    in.effective = U(effective_->date().toString(QStringLiteral("yyyy-MM-dd")));
}

void AdjustPricesWindow::Follow() {
    auto fill = [](QComboBox* box, const std::vector<frmAdjustPrices::Choice>& choices,
                   std::int32_t current) {
        if (box->count() != static_cast<int>(choices.size()) + 1) {
            box->clear();
            box->addItem(T(N_("全部")), 0);
            for (const frmAdjustPrices::Choice& c : choices) box->addItem(Q(c.name), c.id);
        }
        box->setCurrentIndex(std::max(0, box->findData(current)));
    };
    const frmAdjustPrices::Inputs& in = logic_.In();
    percent_->setChecked(in.kind == PriceChange::kPercent);
    amount_->setChecked(in.kind != PriceChange::kPercent);
    value_->setText(Q(in.value));
    roundTo_->setCurrentText(Q(in.roundTo));
    inPlace_->setChecked(in.way == AdjustWay::kInPlace);
    newFromDay_->setChecked(in.way != AdjustWay::kInPlace);
    fill(unit_, logic_.Units(), in.unitID);
    fill(currency_, logic_.Currencies(), in.currencyID);
    validOn_->setDate(ToQDate(in.validOn));
    effective_->setDate(ToQDate(in.effective));

    const AdjustPlan& plan = logic_.Plan();
    list_->setRowCount(static_cast<int>(plan.rows.size()));
    int r = 0;
    for (const AdjustRow& row : plan.rows) {
        const AdjustEntry& e = row.entry;
        const QString cells[] = {
            Q(e.custNumber),
            Q(e.custName),
            Q(e.itemNumber),
            Q(e.itemName),
            Q(e.unitName),
            Q(e.currencyName),
            Q(SqlNumber(e.startQty)),
            Q(SqlNumber(e.endQty)),
            Q(e.quoteTime.ToText()),
            Q(e.expireDate.ToText()),
            Q(SqlNumber(e.price)),
            Q(SqlNumber(row.action == AdjustRow::kLeftAudited ? e.price : row.newPrice)),
            ActionText(row),
            row.belowFloor ? T(N_("是")) : QString()};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 6 && c != 8 && c != 9 && c < 12)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.belowFloor)
                item->setForeground(Qt::red);
            list_->setItem(r, c, item);
        }
        ++r;
    }
    list_->resizeColumnsToContents();
    counts_->setText(plan.rows.empty() ? QString() : Q(logic_.CountsText()));
}

}  // namespace orva::qt
