// The export component in Qt: asks for the file with a file dialog (XLSX or
// CSV, the format following the chosen filter or the name's extension), asks
// before an existing file is replaced, and writes it through the Qt-free
// core. A target given beforehand (the command line's --export) is used
// without asking.
#pragma once

#include <QString>
#include <optional>

#include "host/export/export_component.h"

class QFileDialog;

namespace orva::qt {

class QtExport : public ExportComponent {
  public:
    // The file dialog's name filters, XLSX first.
    static QString XlsxFilter();
    static QString CsvFilter();
    // The dialog's object name, for tests that answer it.
    static constexpr const char* kDialogName = "exportFileDialog";

  protected:
    std::optional<ExportTarget> ChooseTarget(const std::string& title) override;
};

// Registers QtExport as "Portex80.Export" and the column visibility dialog
// as the host's column chooser.
void RegisterQtExportComponents();

}  // namespace orva::qt
