#include "qt/windows/import_preview_view.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include "host/component_registry.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/dialog_parent.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

QString StartFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

class QtImportFiles : public ImportFiles {
  public:
    std::optional<std::string> ChooseSource() override {
        QFileDialog dialog(DialogParent(), Q(GetResText("引入价格资料")), StartFolder());
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setNameFilters(
            {QStringLiteral("Excel, CSV (*.xlsx *.csv)"), QStringLiteral("* (*)")});
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return U(dialog.selectedFiles().front());
    }
    std::optional<std::string> ChooseSheet(const std::vector<std::string>& sheets) override {
        QStringList items;
        for (const std::string& sheet : sheets) items << Q(sheet);
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(DialogParent(), Q(GetResText("引入价格资料")),
                                  Q(GetResText("引入哪一张工作表？")), items, 0, false, &ok);
        if (!ok)
            return std::nullopt;
        return U(chosen);
    }
    std::optional<std::string> ChooseTarget(const std::string& title) override {
        QFileDialog dialog(DialogParent(), Q(title), StartFolder());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setNameFilters({QStringLiteral("Excel (*.xlsx)"), QStringLiteral("CSV (*.csv)")});
        dialog.selectFile(Q(title) + QStringLiteral(".xlsx"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        QString path = dialog.selectedFiles().front();
        if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) &&
            !path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
            path += dialog.selectedNameFilter().contains(QStringLiteral("csv"))
                        ? QStringLiteral(".csv")
                        : QStringLiteral(".xlsx");
        return U(path);
    }
};

}  // namespace

ImportRowsModel::ImportRowsModel(ImportPreview& logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(logic) {}

const import::PlannedRow& ImportRowsModel::RowAt(int row) const {
    return logic_.Plan().rows[logic_.Shown()[static_cast<std::size_t>(row)]];
}

int ImportRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(logic_.Shown().size());
}

int ImportRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstCell + static_cast<int>(logic_.Plan().captions.size());
}

QVariant ImportRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const import::PlannedRow& row = RowAt(index.row());
    const bool choice = row.outcome == import::RowOutcome::kBelowFloor;
    if (index.column() == kWrite && role == Qt::CheckStateRole && choice)
        return row.writeBelowFloor ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
        case kRowNumber:
            return QVariant::fromValue(static_cast<qlonglong>(row.number));
        case kOutcome:
            return Q(import::OutcomeName(row.outcome));
        case kReason:
            return Q(logic_.Plan().Reason(row));
        case kWrite:
            return {};
        default: {
            const auto cell = static_cast<std::size_t>(index.column() - kFirstCell);
            return Q(logic_.Plan().Cell(row, cell));
        }
    }
}

bool ImportRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kWrite || role != Qt::CheckStateRole)
        return false;
    logic_.ChooseBelowFloor(logic_.Shown()[static_cast<std::size_t>(index.row())],
                            value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ImportRowsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kWrite && !logic_.Imported() &&
        RowAt(index.row()).outcome == import::RowOutcome::kBelowFloor)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ImportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
        case kRowNumber:
            return Q(GetResText("行号"));
        case kOutcome:
            return Q(GetResText("结果"));
        case kReason:
            return Q(GetResText("原因"));
        case kWrite:
            return Q(GetResText("引入"));
        default: {
            const auto cell = static_cast<std::size_t>(section - kFirstCell);
            const auto& captions = logic_.Plan().captions;
            return cell < captions.size() ? Q(captions[cell]) : QString();
        }
    }
}

void ImportRowsModel::Reload() {
    beginResetModel();
    endResetModel();
}

ImportPreviewView::ImportPreviewView(ImportPreview& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("frmImportPreview"));
    setWindowTitle(Q(GetResText("引入价格资料")) + QStringLiteral(" - ") + Q(logic.Plan().file));
    resize(900, 560);

    auto* top = new QHBoxLayout;
    counts_ = new QLabel(this);
    filter_ = new QComboBox(this);
    filter_->addItem(Q(GetResText("全部")), -1);
    for (int i = 0; i < static_cast<int>(import::RowOutcome::kCount); ++i) {
        const auto outcome = static_cast<import::RowOutcome>(i);
        if (logic.Plan().Count(outcome) > 0)
            filter_->addItem(Q(import::OutcomeName(outcome)), i);
    }
    top->addWidget(counts_, 1);
    top->addWidget(new QLabel(Q(GetResText("过滤")), this));
    top->addWidget(filter_);

    model_ = new ImportRowsModel(logic, this);
    list_ = new QTableView(this);
    list_->setModel(model_);
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(ImportRowsModel::kReason, 260);

    auto* buttons = new QHBoxLayout;
    auto* templ = new QPushButton(Q(GetResText("模板")), this);
    rejects_ = new QPushButton(Q(GetResText("保存未引入的行")), this);
    import_ = new QPushButton(Q(GetResText("引入")), this);
    auto* close = new QPushButton(Q(GetResText("关闭")), this);
    import_->setDefault(true);
    buttons->addWidget(templ);
    buttons->addWidget(rejects_);
    buttons->addStretch(1);
    buttons->addWidget(import_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(filter_, &QComboBox::currentIndexChanged, this, [this](int) {
        const int value = filter_->currentData().toInt();
        logic_.SetFilter(value < 0 ? std::nullopt
                                   : std::optional(static_cast<import::RowOutcome>(value)));
    });
    connect(templ, &QPushButton::clicked, this, [this] { logic_.SaveTemplate(); });
    connect(rejects_, &QPushButton::clicked, this, [this] { logic_.SaveRejects(); });
    connect(import_, &QPushButton::clicked, this, [this] { logic_.Import(); });
    connect(close, &QPushButton::clicked, this, [this] { logic_.Hide(); });
    changed_ = logic_.Changed().Subscribe([this] { Follow(); });
    Follow();
}

void ImportPreviewView::Follow() {
    model_->Reload();
    counts_->setText(Q(logic_.Counts()));
    import_->setEnabled(!logic_.Imported() && logic_.Plan().ToWrite() > 0);
}

void RegisterQtImportFiles() {
    ComponentRegistry::Register<ImportFiles>(ImportFiles::kProgID,
                                             [] { return std::make_shared<QtImportFiles>(); });
}

}  // namespace orva::qt
