#include "qt/print/ledger_preview_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "qt/controls/qt_text.h"
#include "qt/print/page_setup_dialog.h"
#include "qt/print/preview_page_view.h"
#include "session/res_text.h"

namespace orva::qt {

LedgerPreviewDialog::LedgerPreviewDialog(Ledger& ledger, QPrinter& printer, PrintFn print,
                                         QWidget* parent)
    : QDialog(parent), ledger_(ledger), printer_(printer), print_(std::move(print)) {
    setObjectName("printPreviewDialog");
    setWindowTitle(Q(GetResText("打印预览")));
    pages_ = new PreviewPageView(this);
    BuildToolBar();
    connect(pages_, &PreviewPageView::currentPageChanged, this, [this](int page) {
        const QSignalBlocker block(pageBox_);
        pageBox_->setValue(page);
        UpdateCommands();
    });
    connect(pages_, &PreviewPageView::zoomChanged, this, [this](double zoom) {
        zoomLabel_->setText(QString::number(qRound(zoom * 100)) + QStringLiteral(" %"));
    });
    Relayout();
    resize(960, 720);
    pages_->setFocus();
}

LedgerPreviewDialog::~LedgerPreviewDialog() = default;

int LedgerPreviewDialog::PageCount() const {
    return pages_->PageCount();
}

int LedgerPreviewDialog::CurrentPage() const {
    return pages_->CurrentPage();
}

QAction* LedgerPreviewDialog::Command(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

QAction* LedgerPreviewDialog::AddCommand(const char* name, const char* text,
                                         const QKeySequence& key) {
    auto* action = new QAction(Q(GetResText(text)), this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setToolTip(action->text() + QStringLiteral(" (") +
                           key.toString(QKeySequence::NativeText) + QStringLiteral(")"));
    }
    return action;
}

void LedgerPreviewDialog::BuildToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName("previewToolBar");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    QAction* first = AddCommand("first", N_("首页"), QKeySequence(Qt::CTRL | Qt::Key_Home));
    QAction* previous = AddCommand("previous", N_("上一页"), QKeySequence(Qt::Key_PageUp));
    QAction* next = AddCommand("next", N_("下一页"), QKeySequence(Qt::Key_PageDown));
    QAction* last = AddCommand("last", N_("末页"), QKeySequence(Qt::CTRL | Qt::Key_End));
    connect(first, &QAction::triggered, this, [this] { pages_->ShowPage(1); });
    connect(previous, &QAction::triggered, this,
            [this] { pages_->ShowPage(pages_->CurrentPage() - 1); });
    connect(next, &QAction::triggered, this,
            [this] { pages_->ShowPage(pages_->CurrentPage() + 1); });
    connect(last, &QAction::triggered, this, [this] { pages_->ShowPage(pages_->PageCount()); });
    bar->addAction(first);
    bar->addAction(previous);
    pageBox_ = new QSpinBox(bar);
    pageBox_->setObjectName("pageBox");
    pageBox_->setKeyboardTracking(false);
    pageBox_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageBox_->setAlignment(Qt::AlignCenter);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) { pages_->ShowPage(page); });
    bar->addWidget(pageBox_);
    bar->addAction(next);
    bar->addAction(last);
    bar->addSeparator();

    QAction* fitWidth = AddCommand("fitWidth", N_("适合宽度"), {});
    QAction* fitPage = AddCommand("fitPage", N_("整页"), {});
    QAction* zoomIn = AddCommand("zoomIn", N_("放大"), QKeySequence::ZoomIn);
    QAction* zoomOut = AddCommand("zoomOut", N_("缩小"), QKeySequence::ZoomOut);
    connect(fitWidth, &QAction::triggered, this,
            [this] { pages_->SetFit(PreviewPageView::Fit::kWidth); });
    connect(fitPage, &QAction::triggered, this,
            [this] { pages_->SetFit(PreviewPageView::Fit::kPage); });
    connect(zoomIn, &QAction::triggered, this,
            [this] { pages_->ZoomBy(PreviewPageView::kZoomStep); });
    connect(zoomOut, &QAction::triggered, this,
            [this] { pages_->ZoomBy(1 / PreviewPageView::kZoomStep); });
    bar->addAction(fitWidth);
    bar->addAction(fitPage);
    bar->addAction(zoomOut);
    zoomLabel_ = new QLabel(bar);
    zoomLabel_->setObjectName("zoomLabel");
    zoomLabel_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000 %")));
    zoomLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(zoomLabel_);
    bar->addAction(zoomIn);
    bar->addSeparator();

    QAction* portrait = AddCommand("portrait", N_("纵向"), {});
    QAction* landscape = AddCommand("landscape", N_("横向"), {});
    auto* orientation = new QActionGroup(this);
    for (QAction* a : {portrait, landscape}) {
        a->setCheckable(true);
        orientation->addAction(a);
        bar->addAction(a);
    }
    (ledger_.PrintPageSetup().landscape ? landscape : portrait)->setChecked(true);
    connect(landscape, &QAction::toggled, this, [this](bool on) { SetLandscape(on); });
    QAction* setup = AddCommand("pageSetup", N_("打印设置"), {});
    connect(setup, &QAction::triggered, this, [this] { EditPageSetup(); });
    bar->addAction(setup);
    bar->addSeparator();

    QAction* print = AddCommand("print", N_("打印"), QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] { Print(); });
    bar->addAction(print);
    QAction* close = AddCommand("close", N_("关闭"), {});
    connect(close, &QAction::triggered, this, &QDialog::reject);
    bar->addAction(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(pages_, 1);
}

void LedgerPreviewDialog::Relayout() {
    printer_.setPageLayout(PageLayoutOf(ledger_.PrintPageSetup()));
    painter_.emplace(ledger_, printer_, ledger_.PrintPageSetup().fitToWidth);
    const int count = painter_->PageCount();
    {
        const QSignalBlocker block(pageBox_);
        pageBox_->setRange(1, std::max(count, 1));
        pageBox_->setSuffix(QStringLiteral(" / ") + QString::number(count));
        pageBox_->setMinimumWidth(
            pageBox_->fontMetrics().horizontalAdvance(pageBox_->suffix() + QString::number(count)) +
            16);
    }
    pages_->SetDocument(
        count, painter_->SheetSize(), painter_->Dpi(),
        [this](int page, double scale) { return painter_->PageImage(page, scale); },
        pages_->CurrentPage());
    {
        const QSignalBlocker block(pageBox_);
        pageBox_->setValue(pages_->CurrentPage());
    }
    zoomLabel_->setText(QString::number(qRound(pages_->Zoom() * 100)) + QStringLiteral(" %"));
    UpdateCommands();
}

void LedgerPreviewDialog::SetLandscape(bool landscape) {
    if (ledger_.PrintPageSetup().landscape == landscape)
        return;
    ledger_.PrintPageSetup().landscape = landscape;
    Relayout();
}

void LedgerPreviewDialog::EditPageSetup() {
    PageSetupDialog dialog(ledger_.PrintPageSetup(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ledger_.PrintPageSetup() = dialog.Setup();
    {
        const QSignalBlocker block(Command("landscape"));
        Command(ledger_.PrintPageSetup().landscape ? "landscape" : "portrait")->setChecked(true);
    }
    Relayout();
}

void LedgerPreviewDialog::Print() {
    QPrintDialog dialog(&printer_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        if (print_ && print_(printer_))
            accept();
    } catch (const ComError& e) {
        failure_ = e;
        reject();
    }
}

void LedgerPreviewDialog::UpdateCommands() {
    const int page = pages_->CurrentPage();
    const int count = pages_->PageCount();
    Command("first")->setEnabled(page > 1);
    Command("previous")->setEnabled(page > 1);
    Command("next")->setEnabled(page < count);
    Command("last")->setEnabled(page < count);
}

}  // namespace orva::qt
