// The widget of the import preview (ImportPreview): the counts per outcome,
// the filter by outcome, the list of rows (row number, outcome, reason, the
// choice for a row below the minimum price, then the cells as read), and the
// buttons Import, Save Rejected Rows, Template and Close. The list is a view
// of the logic's rows, so a list of 100,000 rows costs only what is painted.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include "browse/import_preview.h"
#include "host/controls/signal.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace orva::qt {

// The rows the preview shows, as a table.
class ImportRowsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Columns before the file's own cells.
    enum Column { kRowNumber, kOutcome, kReason, kWrite, kFirstCell };

    explicit ImportRowsModel(ImportPreview& logic, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reload();

  private:
    const import::PlannedRow& RowAt(int row) const;

    ImportPreview& logic_;
};

class ImportPreviewView : public QWidget {
    Q_OBJECT

  public:
    explicit ImportPreviewView(ImportPreview& logic, QWidget* parent = nullptr);

    ImportPreview& logic() const { return logic_; }
    QTableView* list() const { return list_; }
    ImportRowsModel* model() const { return model_; }
    QComboBox* filterBox() const { return filter_; }
    QLabel* countsLine() const { return counts_; }
    QPushButton* importButton() const { return import_; }

  private:
    void Follow();

    ImportPreview& logic_;
    Subscription changed_;
    ImportRowsModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLabel* counts_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* rejects_ = nullptr;
};

// Registers the import's file dialogs (ImportFiles).
void RegisterQtImportFiles();

}  // namespace orva::qt
