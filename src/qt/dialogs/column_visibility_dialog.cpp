#include "qt/dialogs/column_visibility_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

constexpr int kColumnRole = Qt::UserRole + 1;

}  // namespace

QString ColumnTitle(Ledger& ledger, int col) {
    int topCol = col;
    if (auto merge = ledger.MergeAt(1, col))
        topCol = merge->col1;
    const QString top = Q(ledger.CellText(1, topCol)).trimmed();
    const QString bottom = Q(ledger.CellText(2, col)).trimmed();
    if (top.isEmpty())
        return bottom;
    if (bottom.isEmpty() || bottom == top)
        return top;
    return top + QStringLiteral(" - ") + bottom;
}

ColumnVisibilityDialog::ColumnVisibilityDialog(Ledger& ledger, QWidget* parent)
    : QDialog(parent), ledger_(ledger) {
    setWindowTitle(Q(GetResText("显示/隐藏列")));
    list_ = new QListWidget(this);
    list_->setObjectName("columns");
    for (int c = 1; c <= ledger_.Cols(); ++c) {
        const QString title = ColumnTitle(ledger_, c);
        if (title.isEmpty() || (ledger_.ColHidden(c) && ledger_.ColWidth(c) <= 0))
            continue;
        auto* item = new QListWidgetItem(title, list_);
        item->setData(kColumnRole, c);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(ledger_.ColHidden(c) ? Qt::Unchecked : Qt::Checked);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* all = buttons->addButton(Q(GetResText("全部显示")), QDialogButtonBox::ResetRole);
    buttons->addButton(Q(GetResText("确定")), QDialogButtonBox::AcceptRole);
    buttons->addButton(Q(GetResText("取消")), QDialogButtonBox::RejectRole);
    connect(all, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setCheckState(Qt::Checked);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnVisibilityDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(320, 420);
}

void ColumnVisibilityDialog::accept() {
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        const int col = item->data(kColumnRole).toInt();
        const bool hidden = item->checkState() != Qt::Checked;
        if (ledger_.ColHidden(col) != hidden)
            ledger_.SetColHidden(col, hidden);
        // A column shown again gets a width it can be seen at.
        if (!hidden && ledger_.ColWidth(col) <= 0)
            ledger_.SetColWidth(col, Ledger::kDefaultColWidth);
    }
    QDialog::accept();
}

bool ShowColumnVisibilityDialog(Ledger& ledger, QWidget* parent) {
    ColumnVisibilityDialog dialog(ledger, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace orva::qt
