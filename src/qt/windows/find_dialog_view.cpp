#include "qt/windows/find_dialog_view.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

QString Text(std::string_view key) {
    return Q(GetResText(std::string(key)));
}

// "第2行： 不是有效的数值：12x" and the like.
QString NoticeText(const FindNotice& n) {
    QString text;
    if (n.row >= 0)
        text += Q(GetResText("第%1行：")).arg(n.row + 1) + QLatin1Char(' ');
    if (!n.key.empty())
        text += Text(n.key);
    if (!n.detail.empty())
        text += (n.key.empty() ? QString() : Q(GetResText(N_("：")))) + Q(n.detail);
    return text;
}

}  // namespace

FindDialogView::FindDialogView(FindDialog& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("FFSDialog"));
    setWindowTitle(Text(logic.TitleKey()));

    auto* layout = new QVBoxLayout(this);
    if (logic_.Mode() != FindDialog::kSort) {
        auto* joinRow = new QHBoxLayout;
        auto* label = new QLabel(Q(GetResText("满足以下")), this);
        join_ = new QComboBox(this);
        join_->setObjectName(QStringLiteral("join"));
        join_->addItem(Q(GetResText("全部条件")));
        join_->addItem(Q(GetResText("任一条件")));
        label->setBuddy(join_);
        joinRow->addWidget(label);
        joinRow->addWidget(join_);
        joinRow->addStretch();
        layout->addLayout(joinRow);
        connect(join_, &QComboBox::currentIndexChanged, this, [this](int index) {
            if (!building_)
                logic_.SetJoin(index == 1 ? FindJoin::kAny : FindJoin::kAll);
        });
    }

    rowsHost_ = new QWidget(this);
    rows_ = new QGridLayout(rowsHost_);
    rows_->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rowsHost_);

    if (logic_.Mode() != FindDialog::kSort) {
        add_ = new QPushButton(Q(GetResText("增加条件")), this);
        add_->setObjectName(QStringLiteral("add"));
        add_->setAutoDefault(false);
        auto* addRow = new QHBoxLayout;
        addRow->addWidget(add_);
        addRow->addStretch();
        layout->addLayout(addRow);
        connect(add_, &QPushButton::clicked, this, [this] { logic_.AddRow(); });
    }

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setStyleSheet(QStringLiteral("color: #b00020;"));
    message_->setWordWrap(true);
    layout->addWidget(status_);
    layout->addWidget(message_);
    layout->addStretch();

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(Q(GetResText("确定")), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(Q(GetResText("取消")), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    // Editors hand every change to the logic at once: nothing to commit.
    connect(ok_, &QPushButton::clicked, this, [this] { logic_.Run(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { logic_.Cancel(); });

    changed_ = logic_.Subscribe([this] {
        // Rebuilding from inside an editor's own signal would delete it while
        // it runs: later, from the event loop.
        QTimer::singleShot(0, this, [this] { Follow(); });
    });
    Follow();
    resize(560, 220);
}

void FindDialogView::Follow() {
    building_ = true;
    if (join_)
        join_->setCurrentIndex(logic_.Criteria().join == FindJoin::kAny ? 1 : 0);
    // The editor at the focused grid cell gets the focus back after the
    // rebuild, so that keys go on where they were.
    int focusRow = -1, focusColumn = -1, span = 0;
    if (QWidget* f = focusWidget(); f && rowsHost_->isAncestorOf(f)) {
        const int index = rows_->indexOf(f);
        if (index >= 0)
            rows_->getItemPosition(index, &focusRow, &focusColumn, &span, &span);
    }
    while (QLayoutItem* item = rows_->takeAt(0)) {
        if (QWidget* w = item->widget())
            w->deleteLater();
        delete item;
    }
    if (logic_.Mode() == FindDialog::kSort)
        BuildSortKeys();
    else
        BuildCriteria();
    ShowNotices();
    // Shown now rather than from the event loop, so they can take the focus.
    for (int i = 0; i < rows_->count(); ++i) {
        if (QWidget* w = rows_->itemAt(i)->widget())
            w->show();
    }
    building_ = false;
    QLayoutItem* again = focusRow >= 0 ? rows_->itemAtPosition(focusRow, focusColumn) : nullptr;
    if (again && again->widget())
        again->widget()->setFocus();
    else if (QWidget* first =
                 rows_->itemAtPosition(0, 0) ? rows_->itemAtPosition(0, 0)->widget() : nullptr;
             first && !firstShown_)
        first->setFocus();
    firstShown_ = true;
}

void FindDialogView::ShowNotices() {
    status_->setText(NoticeText(logic_.Status()));
    status_->setVisible(!logic_.Status().Empty());
    message_->setText(NoticeText(logic_.Notice()));
    message_->setVisible(!logic_.Notice().Empty());
}

void FindDialogView::BuildCriteria() {
    const std::vector<FindField>& fields = logic_.Fields();
    const FindCriteria& criteria = logic_.Criteria();
    for (int r = 0; r < static_cast<int>(criteria.rows.size()); ++r) {
        const FindCriterion& row = criteria.rows[static_cast<std::size_t>(r)];
        if (row.field < 0 || row.field >= static_cast<int>(fields.size()))
            continue;
        const FindField& field = fields[static_cast<std::size_t>(row.field)];

        auto* fieldBox = new QComboBox(rowsHost_);
        fieldBox->setObjectName(QStringLiteral("field%1").arg(r));
        for (const FindField& f : fields) fieldBox->addItem(Q(f.caption));
        fieldBox->setCurrentIndex(row.field);
        connect(fieldBox, &QComboBox::currentIndexChanged, this, [this, r](int index) {
            if (!building_)
                logic_.SetField(r, index);
        });

        auto* opBox = new QComboBox(rowsHost_);
        opBox->setObjectName(QStringLiteral("op%1").arg(r));
        const std::vector<FindOp>& ops = OperatorsFor(field.Kind());
        for (FindOp op : ops) {
            opBox->addItem(Text(OperatorCaption(op, field.Kind())), static_cast<int>(op));
            if (op == row.op)
                opBox->setCurrentIndex(opBox->count() - 1);
        }
        connect(opBox, &QComboBox::currentIndexChanged, this, [this, r, opBox](int) {
            if (!building_)
                logic_.SetOperator(r, static_cast<FindOp>(opBox->currentData().toInt()));
        });

        rows_->addWidget(fieldBox, r, 0);
        rows_->addWidget(opBox, r, 1);
        const int values = ValuesOf(row.op);
        if (values >= 1)
            rows_->addWidget(ValueEditor(r, 1, field, row.value), r, 2);
        if (values == 2) {
            rows_->addWidget(new QLabel(Q(GetResText("至")), rowsHost_), r, 3);
            rows_->addWidget(ValueEditor(r, 2, field, row.value2), r, 4);
        }
        if (logic_.CanPick(r)) {
            auto* pick = new QToolButton(rowsHost_);
            pick->setObjectName(QStringLiteral("pick%1").arg(r));
            pick->setText(QStringLiteral("…"));
            pick->setToolTip(Q(GetResText("从基础资料中选择")));
            connect(pick, &QToolButton::clicked, this, [this, r] { logic_.Pick(r); });
            rows_->addWidget(pick, r, 3);
        }
        auto* remove = new QPushButton(Q(GetResText("删除")), rowsHost_);
        remove->setObjectName(QStringLiteral("remove%1").arg(r));
        remove->setAutoDefault(false);
        remove->setEnabled(criteria.rows.size() > 1);
        connect(remove, &QPushButton::clicked, this, [this, r] { logic_.RemoveRow(r); });
        rows_->addWidget(remove, r, 5);
    }
    rows_->setColumnStretch(2, 1);
    rows_->setColumnStretch(4, 1);
}

QWidget* FindDialogView::ValueEditor(int row, int which, const FindField& field,
                                     const std::string& value) {
    const QString name = QStringLiteral("value%1_%2").arg(row).arg(which);
    auto store = [this, row, which](const std::string& text) {
        if (which == 1)
            logic_.SetValue(row, text);
        else
            logic_.SetValue2(row, text);
    };
    switch (field.Kind()) {
        case FindValueKind::kDate: {
            auto* edit = new QDateEdit(rowsHost_);
            edit->setObjectName(name);
            edit->setCalendarPopup(true);
            edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            QDate date = QDate::fromString(Q(value), QStringLiteral("yyyy-MM-dd"));
            if (!date.isValid()) {
                date = QDate::currentDate();
                store(U(date.toString(QStringLiteral("yyyy-MM-dd"))));
            }
            edit->setDate(date);
            connect(edit, &QDateEdit::dateChanged, this, [store](const QDate& d) {
                store(U(d.toString(QStringLiteral("yyyy-MM-dd"))));
            });
            return edit;
        }
        case FindValueKind::kChoice: {
            auto* box = new QComboBox(rowsHost_);
            box->setObjectName(name);
            for (const std::string& choice : field.choices) box->addItem(Q(choice));
            box->setCurrentText(Q(value));
            connect(box, &QComboBox::currentTextChanged, this,
                    [store](const QString& t) { store(U(t)); });
            return box;
        }
        default: {
            auto* edit = new QLineEdit(Q(value), rowsHost_);
            edit->setObjectName(name);
            if (field.Kind() == FindValueKind::kNumber)
                edit->setAlignment(Qt::AlignRight);
            connect(edit, &QLineEdit::textEdited, this, [store](const QString& t) { store(U(t)); });
            return edit;
        }
    }
}

void FindDialogView::BuildSortKeys() {
    const std::vector<FindField>& fields = logic_.Fields();
    const std::vector<FindSortKey>& keys = logic_.SortKeys();
    for (int k = 0; k < kMaxSortKeys; ++k) {
        rows_->addWidget(
            new QLabel(k == 0 ? Q(GetResText("排序依据")) : Q(GetResText("然后依据")), rowsHost_),
            k, 0);
        auto* fieldBox = new QComboBox(rowsHost_);
        fieldBox->setObjectName(QStringLiteral("field%1").arg(k));
        fieldBox->addItem(Q(GetResText("（无）")), -1);
        for (int f = 0; f < static_cast<int>(fields.size()); ++f)
            fieldBox->addItem(Q(fields[static_cast<std::size_t>(f)].caption), f);
        auto* orderBox = new QComboBox(rowsHost_);
        orderBox->setObjectName(QStringLiteral("op%1").arg(k));
        orderBox->addItem(Q(GetResText("升序")));
        orderBox->addItem(Q(GetResText("降序")));
        if (k < static_cast<int>(keys.size())) {
            fieldBox->setCurrentIndex(keys[static_cast<std::size_t>(k)].field + 1);
            orderBox->setCurrentIndex(keys[static_cast<std::size_t>(k)].descending ? 1 : 0);
        }
        // The keys are read from every row at once: an empty row ends them.
        auto collect = [this] {
            if (building_)
                return;
            std::vector<FindSortKey> next;
            for (int i = 0; i < kMaxSortKeys; ++i) {
                auto* f = qobject_cast<QComboBox*>(RowWidget(i, 0));
                auto* o = qobject_cast<QComboBox*>(RowWidget(i, 1));
                if (!f || !o || f->currentData().toInt() < 0)
                    break;
                next.push_back({f->currentData().toInt(), o->currentIndex() == 1});
            }
            logic_.SetSortKeys(std::move(next));
        };
        connect(fieldBox, &QComboBox::currentIndexChanged, this, collect);
        connect(orderBox, &QComboBox::currentIndexChanged, this, collect);
        rows_->addWidget(fieldBox, k, 1);
        rows_->addWidget(orderBox, k, 2);
    }
    rows_->setColumnStretch(1, 1);
}

QWidget* FindDialogView::RowWidget(int row, int column) const {
    if (row < 0)
        return nullptr;
    // Sort rows start with their label: the field box is column 1 there.
    const int gridColumn = logic_.Mode() == FindDialog::kSort ? column + 1 : column;
    QLayoutItem* item = rows_->itemAtPosition(row, gridColumn);
    return item ? item->widget() : nullptr;
}

}  // namespace orva::qt
