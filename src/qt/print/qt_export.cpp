#include "qt/print/qt_export.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "host/column_chooser.h"
#include "host/component_registry.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/column_visibility_dialog.h"
#include "qt/dialogs/dialog_parent.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

class QtColumnChooser : public ColumnChooser {
  public:
    bool Show(Ledger& ledger) override {
        return ShowColumnVisibilityDialog(ledger, DialogParent());
    }
};

// Asks whether an existing file may be replaced.
bool MayReplace(const QString& path) {
    const QString text = Q(GetResText("%1 已存在。要替换它吗？")).arg(path);
    return QMessageBox::question(DialogParent(), Q(GetResText("Tesmar提示")), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

QString QtExport::XlsxFilter() {
    return Q(GetResText("Excel 工作簿")) + QStringLiteral(" (*.xlsx)");
}

QString QtExport::CsvFilter() {
    return Q(GetResText("CSV 文件（UTF-8）")) + QStringLiteral(" (*.csv)");
}

std::optional<ExportTarget> QtExport::ChooseTarget(const std::string& title) {
    if (PresetTarget())
        return PresetTarget();
    QFileDialog dialog(DialogParent(), Q(GetResText("引出")) + QStringLiteral(" - ") + Q(title));
    dialog.setObjectName(kDialogName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The replace question comes after the extension is settled (below).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({XlsxFilter(), CsvFilter()});
    // The user's documents folder when there is one, else the home folder;
    // the title as the proposed name.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QFileInfo(documents).isDir() ? documents : QDir::homePath());
    dialog.selectFile(Q(title) + QStringLiteral(".xlsx"));
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        QString path = dialog.selectedFiles().front();
        std::optional<ExportFormat> format = FormatOfPath(U(path));
        if (!format) {
            // No known extension: the chosen filter decides and names it.
            const bool csv = dialog.selectedNameFilter() == CsvFilter();
            format = csv ? ExportFormat::kCsv : ExportFormat::kXlsx;
            path += csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
        }
        if (QFileInfo::exists(path) && !MayReplace(path))
            continue;  // back to the dialog
        return ExportTarget{U(path), *format};
    }
    return std::nullopt;
}

void RegisterQtExportComponents() {
    ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID,
                                                 [] { return std::make_shared<QtExport>(); });
    ComponentRegistry::Register<ColumnChooser>(ColumnChooser::kProgID,
                                               [] { return std::make_shared<QtColumnChooser>(); });
}

}  // namespace orva::qt
