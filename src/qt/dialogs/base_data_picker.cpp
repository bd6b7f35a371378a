#include "qt/dialogs/base_data_picker.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <map>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kGroupRole = Qt::UserRole + 2;

}  // namespace

BaseDataPicker::BaseDataPicker(BaseDataQuery query, bool multiple, const QString& search,
                               QWidget* parent)
    : QDialog(parent), query_(std::move(query)) {
    setWindowTitle(Q(query_.setup().title));
    resize(760, 500);

    QHBoxLayout* top = BuildSearchBar(search);
    QSplitter* split = BuildLists(multiple);
    message_ = new QLabel(this);
    message_->setObjectName("message");
    message_->setStyleSheet("color: #b00020;");
    message_->setWordWrap(true);
    QDialogButtonBox* buttons = BuildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addWidget(message_);
    layout->addWidget(buttons);

    connect(rows_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { OnRowActivated(item); });
    connect(rows_, &QTreeWidget::itemSelectionChanged, this, [this] { message_->clear(); });

    try {
        groups_ = query_.Groups();
    } catch (const std::runtime_error& e) {
        ShowNotice(Q(e.what()));
    }
    BuildGroups();
    connect(groupTree_, &QTreeWidget::currentItemChanged, this, [this] { Refresh(); });
    Refresh();
    search_->setFocus();
}

QHBoxLayout* BaseDataPicker::BuildSearchBar(const QString& search) {
    search_ = new QLineEdit(search, this);
    search_->setObjectName("search");
    search_->setClearButtonEnabled(true);
    search_->setPlaceholderText(Q(GetResText("输入代码或名称查找")));
    auto* find = new QPushButton(Q(GetResText("开始查找")), this);
    find->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(Q(GetResText("代码或名称：")), this));
    top->addWidget(search_, 1);
    top->addWidget(find);

    // Typing refreshes the rows after a pause; Enter and the button at once.
    typing_.setSingleShot(true);
    typing_.setInterval(300);
    connect(&typing_, &QTimer::timeout, this, &BaseDataPicker::Refresh);
    connect(search_, &QLineEdit::textEdited, this, [this] { typing_.start(); });
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        typing_.stop();
        Refresh();
        if (rows_->topLevelItemCount() > 0)
            rows_->setFocus();
    });
    connect(find, &QPushButton::clicked, this, [this] {
        typing_.stop();
        Refresh();
    });
    return top;
}

QSplitter* BaseDataPicker::BuildLists(bool multiple) {
    groupTree_ = new QTreeWidget(this);
    groupTree_->setObjectName("groups");
    groupTree_->setHeaderHidden(true);
    rows_ = new QTreeWidget(this);
    rows_->setObjectName("rows");
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setAllColumnsShowFocus(true);
    rows_->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
    QStringList headers{Q(GetResText("代码")), Q(GetResText("名称"))};
    for (const auto& column : query_.setup().extraColumns) headers << Q(column.caption);
    rows_->setHeaderLabels(headers);
    rows_->header()->setStretchLastSection(true);
    rows_->setColumnWidth(0, 150);
    rows_->setColumnWidth(1, 260);

    auto* split = new QSplitter(this);
    split->addWidget(groupTree_);
    split->addWidget(rows_);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 540});
    return split;
}

QDialogButtonBox* BaseDataPicker::BuildButtons() {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(Q(GetResText("确定")), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Q(GetResText("取消")), QDialogButtonBox::RejectRole);
    ok->setObjectName("ok");
    for (QPushButton* b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &BaseDataPicker::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BaseDataPicker::reject);
    return buttons;
}

void BaseDataPicker::BuildGroups() {
    groupTree_->clear();
    const bool hasGroups = query_.setup().itemClass > 0 || query_.setup().unitGroups;
    groupTree_->setVisible(hasGroups);
    if (!hasGroups)
        return;
    auto* root = new QTreeWidgetItem(groupTree_, {Q(GetResText("全部"))});
    root->setData(0, kIdRole, 0);
    root->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    std::map<std::int32_t, QTreeWidgetItem*> items;
    // Groups come in code order, so a parent is always placed before its children.
    for (const PickerGroup& g : groups_) {
        auto parent = items.find(g.parentId);
        QTreeWidgetItem* under = parent == items.end() ? root : parent->second;
        auto* item = new QTreeWidgetItem(under, {Q(g.number + "  " + g.name)});
        item->setData(0, kIdRole, g.id);
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
        items[g.id] = item;
    }
    root->setExpanded(true);
    QSignalBlocker block(groupTree_);
    groupTree_->setCurrentItem(root);
}

const PickerGroup* BaseDataPicker::CurrentGroup() const {
    QTreeWidgetItem* item = groupTree_->currentItem();
    const std::int32_t id = item ? item->data(0, kIdRole).toInt() : 0;
    for (const PickerGroup& g : groups_) {
        if (g.id == id)
            return &g;
    }
    return nullptr;
}

void BaseDataPicker::Search(const QString& text) {
    typing_.stop();
    search_->setText(text);
    Refresh();
}

void BaseDataPicker::OpenGroup(std::int32_t groupId) {
    for (QTreeWidgetItemIterator it(groupTree_); *it; ++it) {
        if ((*it)->data(0, kIdRole).toInt() == groupId) {
            search_->clear();
            groupTree_->setCurrentItem(*it);  // refreshes
            (*it)->setExpanded(true);
            return;
        }
    }
}

void BaseDataPicker::Refresh() {
    rows_->clear();
    message_->clear();
    bool truncated = false;
    std::vector<PickerRow> rows;
    try {
        rows = query_.Rows(CurrentGroup(), U(search_->text().trimmed()), &truncated);
    } catch (const std::runtime_error& e) {
        ShowNotice(Q(e.what()));
        return;
    }
    const QIcon groupIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon recordIcon = style()->standardIcon(QStyle::SP_FileIcon);
    QTreeWidgetItem* firstRecord = nullptr;
    for (const PickerRow& row : rows) {
        QStringList cells{Q(row.code), Q(row.name)};
        for (const std::string& extra : row.extras) cells << Q(extra);
        auto* item = new QTreeWidgetItem(rows_, cells);
        item->setData(0, kIdRole, row.id);
        item->setData(0, kGroupRole, row.group);
        item->setIcon(0, row.group ? groupIcon : recordIcon);
        if (!row.group && !firstRecord)
            firstRecord = item;
    }
    if (firstRecord)
        rows_->setCurrentItem(firstRecord);
    if (truncated)
        ShowNotice(Q(GetResText("仅显示前500条记录，请输入更多查找条件。")));
}

void BaseDataPicker::OnRowActivated(QTreeWidgetItem* item) {
    if (!item)
        return;
    if (item->data(0, kGroupRole).toBool()) {
        OpenGroup(item->data(0, kIdRole).toInt());
        return;
    }
    accept();
}

void BaseDataPicker::ShowNotice(const QString& text) {
    message_->setText(text);
}

void BaseDataPicker::accept() {
    const QList<QTreeWidgetItem*> selected = rows_->selectedItems();
    if (selected.isEmpty()) {
        ShowNotice(Q(GetResText("请先选择一条记录。")));
        return;
    }
    std::vector<std::int32_t> ids;
    for (QTreeWidgetItem* item : selected) {
        if (item->data(0, kGroupRole).toBool()) {
            ShowNotice(Q(GetResText("只能选择明细资料，不能选择分组。")));
            return;
        }
        ids.push_back(item->data(0, kIdRole).toInt());
    }
    picked_ = std::move(ids);
    QDialog::accept();
}

}  // namespace orva::qt
