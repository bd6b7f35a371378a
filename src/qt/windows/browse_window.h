// The widget of the browse window BrowseBase: the menu bar, the toolbar, the
// group tree (under its title panel) on the left and the ledger of price
// entries (under its title panel) on the right, split by a bar the user
// drags, and the status bar. Everything it shows comes from the logic's
// models and follows their notices; what the user does goes back to them:
// menus, shortcuts and toolbar buttons click the commands, the tree and the
// ledger raise their events (double click, Enter and Delete in the ledger
// reach the window's handlers), a released splitter and a new window size
// are reported to the logic's layout. While the logic is busy loading a
// ledger the pointer shows the hourglass.
//
// ModalViewRegistry (module_views.h) puts it into the dialog that CustFace::
// Show runs; the dialog's close button asks the logic (QueryClose).
#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <memory>
#include <optional>

#include "browse/browse_base.h"
#include "host/controls/signal.h"
#include "qt/controls/busy_cursor.h"

class QLabel;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QToolBar;

namespace orva::qt {

class LedgerView;
class MenuBarBinder;
class StatusBarBinder;
class ToolbarBinder;
class TreeView;

class BrowseWindow : public QWidget {
    Q_OBJECT

  public:
    // The size the window opens at when the logic's layout has none of its own.
    static constexpr QSize kDefaultSize{1000, 640};

    explicit BrowseWindow(BrowseBase& logic, QWidget* parent = nullptr);
    ~BrowseWindow() override;

    BrowseBase& logic() const { return logic_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QToolBar* toolBar() const { return toolBar_; }
    QStatusBar* statusBar() const { return statusBar_; }
    QSplitter* splitter() const { return splitter_; }
    TreeView* tree() const { return tree_; }
    LedgerView* ledger() const { return ledger_; }
    QLabel* treeTitle() const { return treeTitle_; }
    QLabel* ledgerTitle() const { return ledgerTitle_; }
    MenuBarBinder* menus() const { return menus_; }
    ToolbarBinder* toolbarBinder() const { return toolbarBinder_; }

    // The size to open at: the logic layout's window size when it was given
    // one, else kDefaultSize.
    static QSize InitialSize(const BrowseLayout& layout, int dpi);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* MakePane(QLabel*& title, QWidget* body, const char* titleName);
    // Title, title panels, pointer and tree width as the logic has them.
    void FollowLogic();
    // The tree's title panel: the logic's text, or when it leaves it empty
    // the caption of the grouping chosen in the view menu.
    void FollowTreeTitle();
    void ReportSplitter(int pos);
    int Dpi() const;

    BrowseBase& logic_;
    QMenuBar* menuBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TreeView* tree_ = nullptr;
    LedgerView* ledger_ = nullptr;
    QLabel* treeTitle_ = nullptr;
    QLabel* ledgerTitle_ = nullptr;
    MenuBarBinder* menus_ = nullptr;
    ToolbarBinder* toolbarBinder_ = nullptr;
    StatusBarBinder* statusBinder_ = nullptr;
    std::optional<BusyCursor> busy_;
    int shownTreeWidth_ = -1;
    Subscription logicSub_;
    Subscription menuSub_;
};

}  // namespace orva::qt
