// BrowseBase, the module's main window: the group tree on the left, the
// ledger of the selected customer's or item's price entries on the right,
// menus and a toolbar for the commands. CustFace::Show loads it, shows it
// modally through the user interface, reads ReturnObj once it has hidden
// itself and unloads it.
//
// The window is logic only: its controls are models (menus, toolbar, tree,
// ledger, status bar) that a view draws; the view reports what the user does
// through the models' User*/Click calls, which raise the window's handlers.
// The commands live in files by concern: browse_menus.cpp (menu and toolbar
// state and dispatch), browse_tree_events.cpp (tree events, preselection,
// switching trees), browse_ledger_events.cpp (ledger events, modify,
// refresh), browse_settings.cpp (saved settings), browse_find.cpp (find,
// filter, sort and search all), browse_audit.cpp,
// browse_delete.cpp and browse_batch_commands.cpp.
//
// browse_print_export.cpp holds print, preview, print setup, export and the
// column show/hide dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/base_detail.h"
#include "browse/browse_layout.h"
#include "browse/tvw_builder.h"
#include "engine/editor_operation.h"
#include "host/controls/command_set.h"
#include "host/controls/ledger.h"
#include "host/controls/signal.h"
#include "host/controls/status_bar.h"
#include "host/controls/toolbar.h"
#include "host/controls/tree.h"
#include "host/dictionary.h"
#include "host/export/export_component.h"
#include "host/find/ffs_face.h"
#include "host/key_codes.h"
#include "host/localizable_form.h"
#include "host/modal_window.h"
#include "host/pointer_shape.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"

namespace orva {

// The time text of a ledger load: above one second "2.50 秒", else
// milliseconds "250.00毫秒" (format "#.00": no digit before the point below
// one, so 0.4 ms is ".40毫秒"). Localised.
std::string PassTimeText(double seconds);

class BrowseBase : public ModalWindow, public LocalizableForm, public LedgerSource {
  public:
    // Toolbar and status bar heights the layout reserves, in twips.
    static constexpr int kToolbarHeight = 600;
    static constexpr int kToolbarHeightNoCaptions = 420;
    static constexpr int kStatusBarHeight = 300;

    // The status bar panel of the filter's note ("过滤后显示记录数: 5 / 67"),
    // empty unless the ledger shows a filter's result.
    static constexpr const char* kFilterNotePanel = "FilterNote";
    // Says why the price history's command is off (a company without it).
    static constexpr const char* kHistoryPanel = "History";

    // Modes of the find/filter/sort component.
    static constexpr std::int16_t kFfsFind = 0;
    static constexpr std::int16_t kFfsFilter = 1;
    static constexpr std::int16_t kFfsSort = 2;

    // Creates the controls as designed: menus, toolbar, status bar, tree and
    // ledger, with their events connected.
    explicit BrowseBase(ModuleContext& ctx);
    ~BrowseBase() override;
    BrowseBase(const BrowseBase&) = delete;
    BrowseBase& operator=(const BrowseBase&) = delete;

    std::string WindowName() const override { return "BrowseBase"; }

    // --- Life ---------------------------------------------------------------
    // The load handler: localised captions, menus by mode, the browse state
    // (short-number option, saved grouping, ledger layout, tree, root
    // selected), the preselected customer or item, column settings, fonts.
    // A failure to localise the captions is raised; every later step is
    // passed over when it fails.
    void Load();
    // Hides the window if it is up and closes it: saves the column settings,
    // the node keys, the grouping and the ledger's selected row, and releases
    // the tree builder and the detail source. The returned entry stays.
    void Unload();
    bool Loaded() const { return loaded_; }

    // The entry picked in selection mode: a record set of all columns of the
    // one t_CustEntry row, or null. Never cleared while the window lives.
    RecordsetPtr ReturnObj() const { return returnObj_; }

    // Selection mode's pick of an entry: with ReturnItem it reads "select *
    // from t_CustEntry Where FEntryID=<id>" through the context's connection,
    // keeps it as ReturnObj and hides the window (true); with ReturnClass, or
    // in maintenance mode, nothing happens (false). Activating a ledger row
    // in selection mode comes here with the row's entry ID.
    bool SelectEntry(std::int32_t entryID);

    // --- Controls, as the view draws them -------------------------------
    MenuBar& Menus() { return menus_; }
    Toolbar& tbToolBar() { return toolbar_; }
    Tree& tvwBase() { return tree_; }
    Ledger& ldgBase() { return ledger_; }
    StatusBar& sbStatusBar() { return statusBar_; }
    const std::string& Caption() const { return caption_; }
    const std::string& SSPTitleClass() const { return titleClass_; }
    const std::string& SSPTitleItem() const { return titleItem_; }
    PointerShape MousePointer() const { return pointer_; }
    BrowseLayout& Layout() { return layout_; }
    // The caption, a title panel, the pointer or the layout changed.
    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changed_.Subscribe(std::move(fn));
    }

    // --- What the view reports besides the models' own events ------------
    // The window's inner size changed (twips).
    void Resize(int width, int height);
    // The grip between tree and ledger: mouse down, move and up (x in twips
    // from the window's left edge).
    void SplitterMouseDown(int x);
    void SplitterMouseMove(int x);
    void SplitterMouseUp(int x);

    // --- Run on node clicks, a view switch and after every edit -------------
    // Enables the editing commands for the selected node and the mode.
    void SetMenuAndBar();
    // Reloads the selected leaf's ledger, repaints every row and selects the
    // row of the current entry again. Stops silently at a failure.
    void Refresh();

    // --- Browse state: detail source, tree builder, the node shown ----------
    BaseDetail* Detail() { return detail_.get(); }
    tvwBuilder* Builder() { return builder_.get(); }
    // The key of the node whose ledger is shown; empty when none is (at
    // start and after a view switch, the ledger is empty).
    const std::string& LastNodeKey() const { return lastNodeKey_; }
    // True only while the search-all command runs.
    bool SearchAllFlag() const { return searchAll_; }
    bool Busy() const { return busy_; }
    std::int32_t CurrentEntryID() const { return currentEntryID_; }
    // True while the item tree is shown (mnuVBaseICItem checked).
    bool ItemTree() const;
    // The day ("yyyy-mm-dd") whose ledger the window shows (As of Date),
    // empty while it shows the ledger as it is.
    const std::string& AsOfDay() const { return asOfDay_; }
    // The source of "now" for the load timing, in seconds (a steady clock by
    // default).
    void SetClock(std::function<double()> secondsNow) { clock_ = std::move(secondsNow); }

    // LocalizableForm: the window caption, menu captions, toolbar captions
    // and tool tips, the title panels.
    void ForEachText(bool withColumnHeaders, const TextVisitor& visit) override;
    // LedgerSource: the ledger's request for the text of row r.
    std::string RowText(int row) override;
    // LedgerSource: the marks of rows whose entries overlap, and their notes.
    bool RowMarked(int row) override;
    std::string RowNote(int row) override;

  private:
    ModuleContext& ctx_;

    using Handler = void (BrowseBase::*)();

    // browse_base.cpp
    void CreateMenus();
    void CreateToolbar();
    void ConnectEvents();
    void InitBrowseState();
    void Changed() { changed_.Emit(); }
    void SetPointer(PointerShape pointer);
    // The selected node's key, "" when none.
    std::string SelectedKey() const;
    // The entry ID in column 1 of the ledger's selected row, when that cell
    // holds a whole number (a title row or an empty cell holds none).
    std::optional<std::int32_t> SelectedEntryID();
    // Shows a command's failure: its description, OK, title "Tesmar提示".
    void ShowCommandError(const std::exception& e);

    // browse_menus.cpp
    void MenuClick(const std::string& name);
    void ToolbarClick(const std::string& key);
    void ApplyModeToMenus();
    void mnuFileClose();
    void mnuViewToolbar();
    void mnuViewStatusBar();
    void mnuViewToolbarLable();
    void mnuVBaseICItem();
    void mnuVBaseSalePrice();
    void mnuHelpSearchForHelpOn();
    void Relayout();

    // browse_tree_events.cpp
    void TreeMouseDown(int button);
    void TreeExpand(NodeId node);
    void TreeCollapse(NodeId node);
    void NodeClick(NodeId node);
    // Title line 1 of the ledger from the node's text ("C001(Alpha)" gives
    // "Alpha价格信息"), and the ledger's title panel with the row count.
    void ShowNodeTitles(NodeId node);
    void SetTitleItem(NodeId node);
    // Runs the ledger statement of the leaf keyed "gb<id>".
    void LoadLeaf(std::string_view key);
    void SelectFirstNode();
    void Preselect();
    bool LocateNode(std::int32_t id);
    void SelectEntryRow(std::int32_t entryID);
    void SwitchTree(bool toItemTree);

    // browse_ledger_events.cpp
    void LedgerDblClick();
    void LedgerKeyDown(int& keyCode, int shift);
    void mnuEditModify();
    void OpenSelectedEntry();
    void RepaintRows();

    // browse_settings.cpp
    void ReadSavedGrouping();
    void SaveColumnSettings();
    void RestoreColumnSettings();
    void mnuRecoverCol();
    void SaveCloseSettings();
    // The ledger's page setup, kept between sessions.
    void SavePageSetup();
    void RestorePageSetup();
    void RestoreTreeWidth();
    // The two columns that are always hidden: 11 and 12 in the customer
    // tree, 10 and 11 in the item tree.
    bool FixedHiddenColumn(int col) const;

    // browse_print_export.cpp
    void mnuFilePrint();
    void mnuFilePreview();
    void mnuFilePrintSetup();
    void mnuFileExport();
    void mnuHideCol();
    // Print (preview false) or preview after the print right's check.
    void PrintLedger(bool preview);
    // The toolbar's "Print" and "PrintView": leaf nodes only.
    void ToolbarPrint(bool preview);
    void ToolbarPrintClick() { ToolbarPrint(false); }
    void ToolbarPreviewClick() { ToolbarPrint(true); }
    void oExport_LoadData(std::int64_t row, ExportRow& data);

    // browse_audit.cpp
    void mnuCheck();
    void mnuUnCheck();
    void AuditSelected(bool unAudit);

    // browse_overlaps.cpp: the overlapping pairs under the selected node,
    // counted in a question and written through the export component.
    void mnuCheckOverlaps();
    // The price history (browse_history.cpp).
    void mnuHistory();
    void ReadHistoryState();
    bool historyOn_ = false;

    // browse_as_of.cpp: the leaf's ledger as of a day, read-only; whether a
    // menu item or toolbar button changes entries (off while it shows).
    void mnuAsOf();
    static bool ChangesEntries(std::string_view command);
    void DisableChangingCommands();
    void LeaveAsOf();
    std::vector<std::pair<CommandSet*, std::string>> disabledByAsOf_;
    std::string asOfDay_;
    bool loadingAsOf_ = false;

    // browse_adjust.cpp: the prices under the selected node raised or
    // lowered in the adjustment dialog.
    void mnuAdjustPrices();

    // browse_import.cpp: a price list read, its every row's fate shown in
    // the preview, and what the preview shows written.
    void mnuFileImport();

    // browse_find.cpp
    void mnuEditFind();
    void mnuEditSort();
    void mnuEditFilter();
    void mnuEditSearchAll();
    // Refresh, then the component in the mode, and what its result asks for.
    void RunFindComponent(std::int16_t mode);
    void ShowFindResult(FFSFace& ffs);
    void FollowSearchAllNode();
    // The searchable fields and the system parameters handed to the component.
    std::vector<Dictionary> FfsFamily() const;
    Dictionary FfsSysPar() const;

    // browse_delete.cpp
    void mnuEditDelete();

    // browse_batch_commands.cpp
    void mnuEditAddItem();
    void mnuBatchAdd();
    void mnuBatchUpdate();
    void mnuBatchDelete();
    void mnuEditLowPrice();
    void RunBatch(EditorOperation operationType, std::int32_t rightBit);
    void OpenEditor(EditorOperation operationType, std::int32_t entryID, std::int32_t nodeID,
                    bool byCustomer);

    // Controls.
    MenuBar menus_;
    Toolbar toolbar_;
    Tree tree_;
    Ledger ledger_;
    StatusBar statusBar_;
    std::string caption_;
    std::string titleClass_;
    std::string titleItem_;
    PointerShape pointer_ = PointerShape::kDefault;
    BrowseLayout layout_;
    Signal<> changed_;

    // Browse state.
    std::unique_ptr<BaseDetail> detail_;
    std::unique_ptr<tvwBuilder> builder_;
    std::string lastNodeKey_;
    bool busy_ = false;
    bool searchAll_ = false;
    int treeButton_ = 0;
    std::int32_t currentEntryID_ = 0;
    RecordsetPtr returnObj_;
    // The export component while an export runs.
    std::shared_ptr<ExportComponent> oExport_;
    bool loaded_ = false;
    std::shared_ptr<Dictionary> formResOptions_;
    std::function<double()> clock_;

    Subscription detailRecords_;
    Subscription menuClicks_;
    Subscription toolbarClicks_;
    Subscription treeMouseDown_;
    Subscription treeExpand_;
    Subscription treeCollapse_;
    Subscription nodeClick_;
    Subscription ledgerDblClick_;
    Subscription ledgerKeyDown_;
};

}  // namespace orva
