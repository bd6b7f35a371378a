#include "qt/print/page_setup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

struct PaperSize {
    const char* name;
    QPageSize::PageSizeId id;
};
constexpr PaperSize kPapers[] = {{"A4", QPageSize::A4},         {"A3", QPageSize::A3},
                                 {"A5", QPageSize::A5},         {"B5", QPageSize::B5},
                                 {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal}};

}  // namespace

QPageSize PageSizeOf(const std::string& paper) {
    for (const PaperSize& p : kPapers)
        if (paper == p.name)
            return QPageSize(p.id);
    return QPageSize(QPageSize::A4);
}

QPageLayout PageLayoutOf(const PageSetup& setup) {
    return QPageLayout(
        PageSizeOf(setup.paper), setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(setup.marginLeft, setup.marginTop, setup.marginRight, setup.marginBottom),
        QPageLayout::Millimeter);
}

PageSetupDialog::PageSetupDialog(const PageSetup& setup, QWidget* parent) : QDialog(parent) {
    setObjectName("pageSetupDialog");
    setWindowTitle(Q(GetResText("打印设置")));
    paper_ = new QComboBox(this);
    for (const PaperSize& p : kPapers) paper_->addItem(QString::fromLatin1(p.name));
    paper_->setCurrentText(Q(setup.paper));
    portrait_ = new QRadioButton(Q(GetResText("纵向")), this);
    landscape_ = new QRadioButton(Q(GetResText("横向")), this);
    (setup.landscape ? landscape_ : portrait_)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    const double values[4] = {setup.marginLeft, setup.marginTop, setup.marginRight,
                              setup.marginBottom};
    auto* form = new QFormLayout;
    form->addRow(Q(GetResText("纸张")), paper_);
    form->addRow(Q(GetResText("方向")), orientation);
    const char* labels[4] = {N_("左边距(毫米)"), N_("上边距(毫米)"), N_("右边距(毫米)"),
                             N_("下边距(毫米)")};
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QDoubleSpinBox(this);
        margins_[i]->setRange(0, 100);
        margins_[i]->setDecimals(1);
        margins_[i]->setValue(values[i]);
        form->addRow(Q(GetResText(labels[i])), margins_[i]);
    }
    fit_ = new QCheckBox(Q(GetResText("按纸张宽度缩放")), this);
    fit_->setChecked(setup.fitToWidth);
    form->addRow(QString(), fit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Q(GetResText("确定")), QDialogButtonBox::AcceptRole);
    buttons->addButton(Q(GetResText("取消")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

PageSetup PageSetupDialog::Setup() const {
    PageSetup s;
    s.paper = U(paper_->currentText());
    s.landscape = landscape_->isChecked();
    s.marginLeft = margins_[0]->value();
    s.marginTop = margins_[1]->value();
    s.marginRight = margins_[2]->value();
    s.marginBottom = margins_[3]->value();
    s.fitToWidth = fit_->isChecked();
    return s;
}

}  // namespace orva::qt
