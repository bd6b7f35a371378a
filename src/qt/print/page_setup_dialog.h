// The print setup of a ledger: paper, orientation, margins and whether wide
// ledgers are fitted to the page width, edited on the ledger's page setup.
#pragma once

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>

#include "host/controls/page_setup.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace orva::qt {

// The paper sizes offered, by the names the page setup keeps.
QPageSize PageSizeOf(const std::string& paper);
// The page layout a page setup describes.
QPageLayout PageLayoutOf(const PageSetup& setup);

class PageSetupDialog : public QDialog {
    Q_OBJECT

  public:
    PageSetupDialog(const PageSetup& setup, QWidget* parent = nullptr);
    // The setup as the dialog shows it now.
    PageSetup Setup() const;

    QComboBox* Paper() const { return paper_; }
    QRadioButton* Landscape() const { return landscape_; }
    QCheckBox* FitToWidth() const { return fit_; }
    QDoubleSpinBox* Margin(int i) const { return margins_[i]; }

  private:
    QComboBox* paper_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QDoubleSpinBox* margins_[4];
    QCheckBox* fit_;
};

}  // namespace orva::qt
