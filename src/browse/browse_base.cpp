#include "browse/browse_base.h"

#include <charconv>
#include <chrono>

#include "browse/detail_commands.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/enums.h"
#include "session/form_res.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

BrowseBase::BrowseBase(ModuleContext& ctx) : ctx_(ctx) {
    CreateMenus();
    CreateToolbar();
    statusBar_.AddPanel("Passtime");
    statusBar_.AddPanel(kFilterNotePanel);
    statusBar_.AddPanel(kHistoryPanel);
    ledger_.SetSource(this);
    ConnectEvents();
    clock_ = [] {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    };
    Relayout();
}

BrowseBase::~BrowseBase() {
    ledger_.SetSource(nullptr);
}

void BrowseBase::CreateMenus() {
    MenuBar& m = menus_;
    m.Add("", "mnuFile", N_("文件(&F)"));
    m.Add("mnuFile", "mnuFilePrint", N_("打印"));
    m.Add("mnuFile", "mnuFilePrintSetup", N_("打印设置"));
    m.Add("mnuFile", "mnuFilePreview", N_("打印预览(&P)"));
    m.AddSeparator("mnuFile");
    m.Add("mnuFile", "mnuFileExport", N_("引出(&E)......"));
    m.AddSeparator("mnuFile");
    m.Add("mnuFile", "mnuFileClose", N_("关闭"), "Ctrl+X");
    // Bringing a price list in, appended after the menu's own commands.
    m.AddSeparator("mnuFile");
    m.Add("mnuFile", "mnuFileImport", N_("引入(&I)......"), "Ctrl+I");

    m.Add("", "mnuEdit", N_("编辑(&E)"));
    m.Add("mnuEdit", "mnuEditAddItem", N_("增加客户价格信息"), "Ctrl+N");
    m.Add("mnuEdit", "mnuEditDelete", N_("删除(&D)"), "Ctrl+D");
    m.Add("mnuEdit", "mnuEditModify", N_("修改(&C)"), "Ctrl+M");
    m.Add("mnuEdit", "mnuEditLowPrice", N_("限价(&H)"), "Ctrl+H");
    m.Add("mnuEdit", "mnuBatchOperate", N_("批量处理"));
    m.Add("mnuBatchOperate", "mnuBatchAdd", N_("批量新增"));
    m.Add("mnuBatchOperate", "mnuBatchUpdate", N_("批量修改"));
    m.Add("mnuBatchOperate", "mnuBatchDelete", N_("批量删除"));
    m.AddSeparator("mnuEdit");
    m.Add("mnuEdit", "mnuCheck", N_("审核"));
    m.Add("mnuEdit", "mnuUnCheck", N_("反审核"));
    m.AddSeparator("mnuEdit");
    m.Add("mnuEdit", "mnuEditFind", N_("搜索(&F)"), "F3");
    m.Add("mnuEdit", "mnuEditSort", N_("排序(&S)"), "F4");
    m.Add("mnuEdit", "mnuEditFilter", N_("过滤(&T)"), "F5");
    m.AddSeparator("mnuEdit");
    m.Add("mnuEdit", "mnuEditSearchAll", N_("查找"), "F6");
    m.AddSeparator("mnuEdit");
    m.Add("mnuEdit", "mnuCheckOverlaps", N_("检查重叠价格"));
    // Adjust prices: in the edit menu for any node, and in the batch menu,
    // which is also the right-click menu of a group (a leaf has none).
    m.Add("mnuEdit", "mnuAdjustPrices", N_("调整价格..."));
    m.Add("mnuBatchOperate", "mnuBatchAdjustPrices", N_("调整价格..."));
    m.Add("mnuEdit", "mnuHistory", N_("价格历史"), "F7");
    m.Add("mnuEdit", "mnuAsOf", N_("截至日期..."), "F8");

    m.Add("", "mnuview", N_("视图(&V)"));
    m.Add("mnuview", "mnuViewToolbar", N_("工具栏(&T)"));
    m.Add("mnuview", "mnuViewStatusBar", N_("状态栏(&B)"));
    m.Add("mnuview", "mnuViewToolbarLable", N_("工具条标签(&L)"));
    m.AddSeparator("mnuview");
    m.Add("mnuview", "mnuVBaseICItem", N_("按物料分类"));
    m.Add("mnuview", "mnuVBaseSalePrice", N_("按客户分类"));
    m.AddSeparator("mnuview");
    m.Add("mnuview", "mnuRecoverCol", N_("恢复默认列宽(&W)"));
    m.AddSeparator("mnuview");
    m.Add("mnuview", "mnuHideCol", N_("显示/隐藏列(&H)"));
    m.AddSeparator("mnuview");
    m.Add("mnuview", "mnuViewRefresh", N_("刷新"), "F9");

    m.Add("", "mnuHelp", N_("帮助(&H)"));
    m.Add("mnuHelp", "mnuHelpSearchForHelpOn", N_("帮助(&S)..."));

    for (const char* name :
         {"mnuViewToolbar", "mnuViewStatusBar", "mnuViewToolbarLable", "mnuVBaseSalePrice"}) {
        m.SetChecked(name, true);
    }
}

void BrowseBase::CreateToolbar() {
    Toolbar& t = toolbar_;
    t.Add("", "Organization", N_("客户"), {}, N_("客户"));
    t.Add("", "ICItem", N_("物料"), {}, N_("物料"));
    t.Add("", "New", N_("新增"), {}, N_("新增"));
    t.Add("", "Modify", N_("修改"), {}, N_("修改"));
    t.AddSeparator("", "sp1");
    t.Add("", "Delete", N_("删除"), {}, N_("删除"));
    t.Add("", "SELowPrice", N_("限价"), {}, N_("最低限价"));
    t.Add("", "Check", N_("审核"), {}, N_("审核价格资料"));
    t.Add("", "UnCheck", N_("反审"), {}, N_("反审核价格资料"));
    t.Add("", "Find", N_("搜索"), {}, N_("搜索"));
    t.Add("", "Sort", N_("排序"), {}, N_("排序"));
    t.Add("", "Filter", N_("过滤"), {}, N_("过滤"));
    t.Add("", "FindAll", N_("查找"), {}, N_("针对全部数据查找"));
    t.Add("", "Print", N_("打印"), {}, N_("打印"));
    t.Add("", "PrintView", N_("预览"), {}, N_("打印预览"));
    t.Add("", "Exit", N_("退出"), {}, N_("退出基本资料系统"));
    t.Add("", "History", N_("历史"), {}, N_("价格历史"));
}

void BrowseBase::ConnectEvents() {
    menuClicks_ = menus_.OnClick([this](const std::string& name) { MenuClick(name); });
    toolbarClicks_ = toolbar_.OnClick([this](const std::string& key) { ToolbarClick(key); });
    treeMouseDown_ =
        tree_.OnMouseDown([this](int button, int, int, int) { TreeMouseDown(button); });
    treeExpand_ = tree_.OnExpand([this](NodeId node) { TreeExpand(node); });
    treeCollapse_ = tree_.OnCollapse([this](NodeId node) { TreeCollapse(node); });
    nodeClick_ = tree_.OnNodeClick([this](NodeId node) { NodeClick(node); });
    ledgerDblClick_ = ledger_.OnDblClick([this] { LedgerDblClick(); });
    ledgerKeyDown_ =
        ledger_.OnKeyDown([this](int& keyCode, int shift) { LedgerKeyDown(keyCode, shift); });
}

// --- Life -------------------------------------------------------------------

void BrowseBase::Load() {
    LoadFormRes(ctx_, *this, formResOptions_);
    ApplyModeToMenus();
    caption_ = GetResText("系统基本资料(客户价格管理)");
    Changed();
    // Before the tree: selecting a node (the first one, the host's
    // preselected leaf) turns the history commands on where the company
    // keeps a history.
    ReadHistoryState();
    InitBrowseState();
    PassOver([&] { Preselect(); });
    PassOver([&] { detail_->SetByItem(ItemTree()); });
    PassOver([&] { RestoreColumnSettings(); });
    PassOver([&] { SetLedgerFonts(ctx_, ledger_); });
    PassOver([&] { RestorePageSetup(); });
    PassOver([&] { RestoreTreeWidth(); });
    loaded_ = true;
}

void BrowseBase::InitBrowseState() {
    detail_ = std::make_unique<BaseDetail>(ctx_);
    // The filter's note holds only while the ledger shows the filter's
    // result: any other records (a reload, a sort, a group) end it.
    detailRecords_ = detail_->OnRecordsChanged([this] {
        statusBar_.SetPanelText(kFilterNotePanel, "");
        // Any other records than the as-of ledger's end it.
        if (!loadingAsOf_ && !asOfDay_.empty())
            LeaveAsOf();
    });
    builder_ = std::make_unique<tvwBuilder>(ctx_);
    PassOver([&] { ctx_.g_UseShortNumber = ReadUseShortNumber(ctx_.Connection()); });
    if (!ctx_.g_CallByBill)
        PassOver([&] { ReadSavedGrouping(); });
    menus_.SetChecked("mnuVBaseSalePrice", ctx_.g_CategoryByCust);
    menus_.SetChecked("mnuVBaseICItem", !ctx_.g_CategoryByCust);
    PassOver([&] {
        detail_->SetLDG(&ledger_);
        detail_->GetTitleInfo(ItemTree());
    });
    PassOver([&] {
        builder_->SetTvwGroup(&tree_);
        builder_->SetCategoryByItem(ItemTree());
        builder_->SetTreeView(-1);
    });
    PassOver([&] { SelectFirstNode(); });
    PassOver([&] { SetMenuAndBar(); });
    PassOver([&] { detail_->MergeAction(); });
}

void BrowseBase::Unload() {
    if (Visible())
        Hide();
    if (loaded_) {
        PassOver([&] { SaveColumnSettings(); });
        SaveCloseSettings();
    }
    detail_.reset();
    builder_.reset();
    loaded_ = false;
}

bool BrowseBase::SelectEntry(std::int32_t entryID) {
    if (ctx_.g_ShowMode != ShowSelect || ctx_.g_ReturnType != ReturnItem)
        return false;
    returnObj_ =
        ctx_.Connection().Execute("select * from t_CustEntry Where FEntryID=" + SqlId(entryID));
    Hide();
    return true;
}

// --- Helpers ----------------------------------------------------------------

bool BrowseBase::ItemTree() const {
    return menus_.Item("mnuVBaseICItem").checked;
}

void BrowseBase::SetPointer(PointerShape pointer) {
    if (pointer_ == pointer)
        return;
    pointer_ = pointer;
    Changed();
}

std::string BrowseBase::SelectedKey() const {
    NodeId node = tree_.Selected();
    return node == kNoNode ? std::string() : tree_.Node(node).key;
}

std::optional<std::int32_t> BrowseBase::SelectedEntryID() {
    const int row = ledger_.SelRow();
    if (row < 1 || row > ledger_.Rows() || ledger_.Cols() < 1)
        return std::nullopt;
    ledger_.SetCol(1);
    ledger_.SetRow(row);
    return ParseEntryID(ledger_.Text());
}

void BrowseBase::ShowCommandError(const std::exception& e) {
    ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation,
                         GetResText("Tesmar提示"));
}

void BrowseBase::ForEachText(bool /*withColumnHeaders*/, const TextVisitor& visit) {
    using K = TextKind;
    visit(K::Caption, caption_);
    visit(K::Caption, titleClass_);
    visit(K::Caption, titleItem_);
    auto visitSet = [&](CommandSet& set, auto&& self, const std::string& parent) -> void {
        for (const CommandItem* item : set.Children(parent)) {
            if (item->separator)
                continue;
            const std::string name = item->name;
            std::string caption = item->caption;
            std::string tip = item->toolTip;
            visit(K::Caption, caption);
            if (!tip.empty())
                visit(K::Caption, tip);
            set.SetCaption(name, caption);
            set.SetToolTip(name, tip);
            self(set, self, name);
        }
    };
    visitSet(menus_, visitSet, "");
    visitSet(toolbar_, visitSet, "");
    Changed();
}

std::optional<std::int32_t> ParseEntryID(std::string_view cellText) {
    std::string_view t = Trim(cellText);
    std::int32_t id = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), id);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return id;
}

std::string BrowseBase::RowText(int row) {
    return detail_ ? detail_->RowText(row) : std::string();
}

bool BrowseBase::RowMarked(int row) {
    return detail_ && detail_->RowMarked(row);
}

std::string BrowseBase::RowNote(int row) {
    return detail_ ? detail_->RowNote(row) : std::string();
}

}  // namespace orva
