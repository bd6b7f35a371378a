#include "qt/windows/property_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "qt/controls/check_box_binder.h"
#include "qt/controls/key_codes.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"
#include "qt/controls/status_bar_binder.h"
#include "qt/controls/tab_strip_binder.h"
#include "qt/controls/toolbar_binder.h"

namespace orva::qt {
namespace {

using R = UserDefInfo;
using W = frmProperty;

// The quotes no text of the window may hold: they would break the quoting of
// the statements that save the entry.
const QString kQuotes = QStringLiteral("'\"");

}  // namespace

PropertyWindow::PropertyWindow(frmProperty& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("frmProperty"));
    setWindowTitle(Q(logic_.Caption()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("TbPrice"));
    toolBar_->setIconSize(QSize(24, 24));
    toolbarBinder_ = new ToolbarBinder(logic_.TbPrice(), toolBar_);
    layout->addWidget(toolBar_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("SSTProperty"));
    tabs_->addTab(BuildPropertyPage(), QString());
    tabs_->addTab(BuildSettingsPage(), QString());
    new TabStripBinder(logic_.SSTProperty(), tabs_);
    auto* body = new QVBoxLayout();
    body->setContentsMargins(4, 4, 4, 4);
    body->addWidget(tabs_);
    layout->addLayout(body, 1);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("sdbStatus"));
    new StatusBarBinder(logic_.sdbStatus(), statusBar_);
    layout->addWidget(statusBar_);

    // Keys are seen before the focused control gets them; the application
    // filter is the one place every key of the window passes first.
    qApp->installEventFilter(this);
}

PropertyWindow::~PropertyWindow() {
    qApp->removeEventFilter(this);
}

QWidget* PropertyWindow::BuildPropertyPage() {
    auto* page = new QWidget();
    page->setObjectName(QStringLiteral("PicPan"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    grid_ = new SpreadView(logic_.vaSProperty(), page);
    grid_->setObjectName(QStringLiteral("vaSProperty"));
    grid_->ForceColumnHidden(R::kColValue);
    grid_->SetDiscardedCharacters(kQuotes);
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(grid_);
    return page;
}

QWidget* PropertyWindow::BuildSettingsPage() {
    auto* page = new QWidget();
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    refreshBox_ = AddCheckBox(logic_.ChkRefresh(), page, "ChkRefresh");
    helpBox_ = AddCheckBox(logic_.ChkAHelp(), page, "ChkAHelp");
    errorBox_ = AddCheckBox(logic_.ChkError(), page, "ChkError");
    clearBox_ = AddCheckBox(logic_.ChkClear(), page, "ChkClear");
    layout->addStretch(1);
    return page;
}

QCheckBox* PropertyWindow::AddCheckBox(CheckBox& model, QWidget* page, const char* name) {
    auto* box = new QCheckBox(page);
    box->setObjectName(QString::fromLatin1(name));
    new CheckBoxBinder(model, box);
    page->layout()->addWidget(box);
    return box;
}

QAction* PropertyWindow::Button(const std::string& key) const {
    return toolbarBinder_->Action(key);
}

QSize PropertyWindow::sizeHint() const {
    // Room for the sixteen rows less the two hidden ones, as the window was
    // designed: a tall, narrow property sheet.
    const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
    const int gridHeight = rowHeight * (R::kRowCount - 2) + 2 * grid_->frameWidth() + 4;
    const int height = toolBar_->sizeHint().height() + tabs_->tabBar()->sizeHint().height() +
                       gridHeight + statusBar_->sizeHint().height() + 24;
    const int width = std::max(440, toolBar_->sizeHint().width() + 8);
    return {width, height};
}

void PropertyWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitColumns();
    grid_->setFocus();
}

bool PropertyWindow::InThisWindow(QObject* object) const {
    if (!object->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(object);
    return widget == this || isAncestorOf(widget) || widget == window();
}

bool PropertyWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (InThisWindow(watched) && WindowKey(*static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::FocusIn:
            // A cell editor of the grid: its text changes are the grid's
            // edit-change event.
            if (auto* line = qobject_cast<QLineEdit*>(watched);
                line && line->parentWidget() == grid_->viewport()) {
                editor_ = line;
                connect(line, &QLineEdit::textEdited, this, &PropertyWindow::OnEditorTextEdited,
                        Qt::UniqueConnection);
            }
            break;
        case QEvent::WindowActivate:
            if (watched == window() && watched != this)
                OnActivated();
            break;
        case QEvent::Resize:
            if (watched == grid_->viewport())
                FitColumns();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

const char* PropertyWindow::ShownButtonFor(int keyCode, int shift) const {
    const char* key = nullptr;
    if ((shift & kCtrlMask) != 0 && keyCode == kKeyS) {
        key = W::kBtnSave;
    } else if ((shift & kCtrlMask) != 0 && keyCode == kKeyN) {
        key = W::kBtnNew;
    } else if ((shift & (kShiftMask | kCtrlMask | kAltMask)) != 0) {
        switch (keyCode) {
            case kKeyHome:
                key = W::kBtnFirst;
                break;
            case kKeyEnd:
                key = W::kBtnLast;
                break;
            case kKeyPageUp:
                key = W::kBtnPrevious;
                break;
            case kKeyPageDown:
                key = W::kBtnNext;
                break;
            default:
                break;
        }
    }
    Toolbar& bar = logic_.TbPrice();
    return key && bar.Has(key) && bar.Item(key).visible ? key : nullptr;
}

bool PropertyWindow::WindowKey(QKeyEvent& key) {
    const QString text = key.text();
    if (text.size() == 1 && kQuotes.contains(text.front()) &&
        logic_.FormKeyPress(text.front().unicode()) == 0) {
        return true;
    }
    const int code = HostKeyCode(key);
    if (code == 0)
        return false;
    const int shift = HostShiftState(key);
    // A command run by a key reads the grid: the cell being edited hands its
    // text over first, as it does for a toolbar click.
    if (ShownButtonFor(code, shift) && grid_->Editing())
        grid_->CommitEdit();
    if (logic_.FormKeyDown(code, shift) != 0)
        return false;
    // The command may have ended the window; the logic's state is all there
    // is to update, the views follow it.
    return true;
}

void PropertyWindow::OnEditorTextEdited(const QString& text) {
    if (sender() == editor_.data())
        logic_.vaSPropertyEditChange(U(text));
}

void PropertyWindow::OnActivated() {
    if (!activatedOnce_) {
        // The logic read the option when it was shown.
        activatedOnce_ = true;
        return;
    }
    if (!logic_.Visible())
        return;
    // The logic also puts the cursor on the item code; back from a dialog
    // the user stays where they were, an open cell editor included, so the
    // grid's views hear only the end result.
    Spread& spread = logic_.vaSProperty();
    const int col = spread.ActiveCol();
    const int row = spread.ActiveRow();
    const bool redraw = spread.Redraw();
    spread.SetRedraw(false);
    logic_.Activate();
    spread.SetActiveCell(col, row);
    spread.SetRedraw(redraw);
}

void PropertyWindow::FitColumns() {
    if (fitting_)
        return;
    fitting_ = true;
    // Captions take a third of the grid, the values the rest; the stored
    // values stay hidden.
    const int dpi = grid_->logicalDpiX() > 0 ? grid_->logicalDpiX() : kDefaultDpi;
    const int width = grid_->viewport()->width();
    if (width > 0) {
        const int captions = width / 3;
        const int values = width - captions;
        Spread& spread = logic_.vaSProperty();
        spread.SetColWidth(R::kColCaption, PixelsToTwips(captions, dpi));
        spread.SetColWidth(R::kColText, PixelsToTwips(values, dpi));
    }
    fitting_ = false;
}

}  // namespace orva::qt
