#include "qt/windows/browse_window.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/controls/ledger_view.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/splitter_limits.h"
#include "qt/controls/status_bar_binder.h"
#include "qt/controls/toolbar_binder.h"
#include "qt/controls/tree_view.h"

namespace orva::qt {
namespace {

// A menu caption without its mnemonic: "按物料分类(&I)" reads "按物料分类".
QString PlainCaption(const std::string& caption) {
    QString text = Q(caption);
    static const QRegularExpression kMnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(kMnemonic);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

// The right and bottom edges of a layout's parts (twips).
QPoint LayoutEdges(const BrowseLayout& layout) {
    const BrowseGeometry g = layout.Geometry();
    return {g.titleItem.left + g.titleItem.width, g.grip.top + g.grip.height};
}

}  // namespace

BrowseWindow::BrowseWindow(BrowseBase& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("BrowseBase"));
    const int margin = TwipsToPixels(BrowseLayout::kMargin, Dpi());
    const int gap = std::max(1, TwipsToPixels(BrowseLayout::kGap, Dpi()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    menuBar_->setNativeMenuBar(false);
    layout->setMenuBar(menuBar_);
    menus_ = new MenuBarBinder(logic_.Menus(), menuBar_);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(24, 24));
    layout->addWidget(toolBar_);
    toolbarBinder_ = new ToolbarBinder(logic_.tbToolBar(), toolBar_);

    tree_ = new TreeView(logic_.tvwBase());
    tree_->setObjectName(QStringLiteral("tvwBase"));
    // Long node texts ("01.01.001(北京华联商贸有限公司)") scroll rather than being cut.
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The column fits the rows on screen, measured again as the tree
    // scrolls, not every node's text: a group of thousands of customers
    // would otherwise be measured on every expansion.
    tree_->header()->setResizeContentsPrecision(0);
    connect(tree_->verticalScrollBar(), &QScrollBar::valueChanged, tree_,
            [this] { tree_->header()->resizeSections(QHeaderView::ResizeToContents); });
    ledger_ = new LedgerView(logic_.ldgBase());
    ledger_->setObjectName(QStringLiteral("ldgBase"));

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("imgSplitVer"));
    // While the bar is dragged only its shadow moves (picSplitVer); the panes
    // follow when it is released, as the logic's splitter does.
    splitter_->setOpaqueResize(false);
    splitter_->setHandleWidth(std::max(4, TwipsToPixels(BrowseLayout::kGripWidth, Dpi())));
    splitter_->addWidget(MakePane(treeTitle_, tree_, "SSPTitleClass"));
    splitter_->addWidget(MakePane(ledgerTitle_, ledger_, "SSPTitleItem"));
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    ApplySplitterLimits(*splitter_);
    connect(splitter_, &QSplitter::splitterMoved, this, [this](int pos) { ReportSplitter(pos); });

    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(margin, margin, margin, margin);
    bodyLayout->setSpacing(gap);
    bodyLayout->addWidget(splitter_);
    layout->addWidget(body, 1);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("sbStatusBar"));
    // The dialog around the window has the size grip.
    statusBar_->setSizeGripEnabled(false);
    layout->addWidget(statusBar_);
    statusBinder_ = new StatusBarBinder(logic_.sbStatusBar(), statusBar_);

    logicSub_ = logic_.Subscribe([this] { FollowLogic(); });
    menuSub_ = logic_.Menus().Subscribe([this](const CommandChange& change) {
        if (change.name == "mnuVBaseICItem" || change.name == "mnuVBaseSalePrice")
            FollowTreeTitle();
    });
    FollowLogic();
    resize(InitialSize(logic_.Layout(), Dpi()));
    tree_->setFocus();
}

BrowseWindow::~BrowseWindow() = default;

QWidget* BrowseWindow::MakePane(QLabel*& title, QWidget* body, const char* titleName) {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(std::max(1, TwipsToPixels(BrowseLayout::kGap, Dpi())));
    title = new QLabel(pane);
    title->setObjectName(QString::fromLatin1(titleName));
    title->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    title->setFixedHeight(TwipsToPixels(BrowseLayout::kTitleHeight, Dpi()));
    title->setContentsMargins(4, 0, 4, 0);
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    layout->addWidget(body, 1);
    return pane;
}

QSize BrowseWindow::InitialSize(const BrowseLayout& layout, int dpi) {
    // A fresh layout's parts add up to its default size (it has no bars).
    const BrowseLayout fresh;
    const QPoint freshEdges = LayoutEdges(fresh);
    const QSize defaultTwips(freshEdges.x() + BrowseLayout::kMargin,
                             freshEdges.y() + BrowseLayout::kMargin);
    // The same layout at the default size tells whether it was ever sized.
    BrowseLayout probe = layout;
    probe.SetWindowSize(defaultTwips.width(), defaultTwips.height());
    const QPoint shift = LayoutEdges(layout) - LayoutEdges(probe);
    if (shift.isNull())
        return kDefaultSize;
    const int width = defaultTwips.width() + shift.x();
    const int height = defaultTwips.height() + shift.y();
    if (width <= 0 || height <= 0)
        return kDefaultSize;
    return {TwipsToPixels(width, dpi), TwipsToPixels(height, dpi)};
}

int BrowseWindow::Dpi() const {
    return logicalDpiX() > 0 ? logicalDpiX() : kDefaultDpi;
}

void BrowseWindow::FollowLogic() {
    const QString title = Q(logic_.Caption());
    if (windowTitle() != title) {
        setWindowTitle(title);
        if (QWidget* top = window(); top != this)
            top->setWindowTitle(title);
    }
    FollowTreeTitle();
    ledgerTitle_->setText(Q(logic_.SSPTitleItem()));
    ledgerTitle_->setToolTip(ledgerTitle_->text());

    const bool hourglass = logic_.MousePointer() == PointerShape::kHourglass;
    if (hourglass && !busy_)
        busy_.emplace();
    else if (!hourglass && busy_)
        busy_.reset();

    // The tree takes the width the logic gives it (after a drag of the bar).
    const int treeWidth = TwipsToPixels(logic_.Layout().TreeWidth(), Dpi());
    if (treeWidth != shownTreeWidth_ && !logic_.Layout().Dragging()) {
        shownTreeWidth_ = treeWidth;
        const int total = std::max(splitter_->width(), treeWidth + splitter_->handleWidth() + 1);
        splitter_->setSizes({treeWidth, total - treeWidth - splitter_->handleWidth()});
    }
}

void BrowseWindow::FollowTreeTitle() {
    QString text = Q(logic_.SSPTitleClass());
    if (text.isEmpty()) {
        const MenuBar& m = logic_.Menus();
        const char* chosen =
            m.Item("mnuVBaseICItem").checked ? "mnuVBaseICItem" : "mnuVBaseSalePrice";
        text = PlainCaption(m.Item(chosen).caption);
    }
    treeTitle_->setText(text);
}

void BrowseWindow::ReportSplitter(int pos) {
    // The user released the bar: the logic keeps the tree's new width
    // (within its limits) and the view follows what it kept.
    const int x = PixelsToTwips(pos, Dpi());
    shownTreeWidth_ = -1;
    logic_.SplitterMouseDown(x);
    logic_.SplitterMouseUp(x);
    FollowLogic();
}

void BrowseWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    logic_.Resize(PixelsToTwips(event->size().width(), Dpi()),
                  PixelsToTwips(event->size().height(), Dpi()));
}

void BrowseWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The splitter knows its width only now.
    shownTreeWidth_ = -1;
    FollowLogic();
}

}  // namespace orva::qt
