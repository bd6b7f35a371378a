// The editor window's controls, life and initialisation, the toolbar's mode
// table, the tabs and the settings check boxes.
#include "editor/frm_property.h"

#include <initializer_list>
#include <stdexcept>

#include "editor/editor_scopes.h"
#include "engine/user_def_info.h"
#include "host/base/pass_over.h"
#include "host/host_ui.h"
#include "session/form_res.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva {

namespace {

struct ButtonDesign {
    const char* key;
    const char* caption;
    const char* toolTip;
};

// The buttons of TbPrice, in order, as designed.
constexpr ButtonDesign kButtons[] = {
    {frmProperty::kBtnNew, N_("新增"), N_("新增记录")},
    {frmProperty::kBtnDelete, N_("删除"), N_("删除记录")},
    {frmProperty::kBtnSave, N_("保存"), N_("保存")},
    {frmProperty::kBtnCheck, N_("审核"), N_("审核价格资料")},
    {frmProperty::kBtnFirst, N_("首条"), N_("第一条记录")},
    {frmProperty::kBtnPrevious, N_("上条"), N_("上一条记录")},
    {frmProperty::kBtnNext, N_("下条"), N_("下一条记录")},
    {frmProperty::kBtnLast, N_("最后"), N_("最后一条记录")},
    {frmProperty::kBtnExit, N_("退出"), N_("退出")},
};

// The buttons the settings tab disables.
constexpr const char* kRecordButtons[] = {
    frmProperty::kBtnSave, frmProperty::kBtnFirst, frmProperty::kBtnPrevious, frmProperty::kBtnLast,
    frmProperty::kBtnNext, frmProperty::kBtnNew,   frmProperty::kBtnCheck,
};

constexpr const char* kNavigationButtons[] = {frmProperty::kBtnFirst, frmProperty::kBtnPrevious,
                                              frmProperty::kBtnNext, frmProperty::kBtnLast};

}  // namespace

frmProperty::frmProperty(ModuleContext& ctx)
    : ctx_(ctx),
      caption_(N_("客户价格信息")),
      chkRefresh_(N_("退出时立即刷新"), CheckBox::kChecked),
      chkAHelp_(N_("显示帮助信息"), CheckBox::kUnchecked),
      chkError_(N_("提示错误"), CheckBox::kChecked),
      chkClear_(N_("新增数据刷新界面"), CheckBox::kUnchecked) {
    BuildControls();
    Subscribe();
}

frmProperty::~frmProperty() = default;

void frmProperty::BuildControls() {
    for (const ButtonDesign& b : kButtons) tbPrice_.Add({}, b.key, b.caption, {}, b.toolTip);
    sstProperty_.AddTab(N_("[X] 属性"));
    sstProperty_.AddTab(N_("参数设置"));
    sdbStatus_.AddPanel();
    vaSProperty_.SetMaxCols(UserDefInfo::kColValue);
    KeepValueColumnHidden();
}

void frmProperty::Subscribe() {
    subToolbar_ = tbPrice_.OnClick([this](const std::string& key) { TbPriceButtonClick(key); });
    subTabs_ = sstProperty_.OnClick([this](int previous) { TabClick(previous); });
    subGridChange_ = vaSProperty_.OnChange([this](int col, int row) { GridChange(col, row); });
    subGridKeyDown_ =
        vaSProperty_.OnKeyDown([this](int& keyCode, int shift) { GridKeyDown(keyCode, shift); });
    subGridLeave_ = vaSProperty_.OnLeaveCell(
        [this](int col, int row, int, int, bool& cancel) { GridLeaveCell(col, row, cancel); });
    subChkAHelp_ = chkAHelp_.OnClick([this] { helpTimerEnabled_ = chkAHelp_.Checked(); });
    subChkError_ = chkError_.OnClick([this] { errorPrompt_ = chkError_.Checked(); });
    subChkClear_ = chkClear_.OnClick([this] { clearAfterAdd_ = chkClear_.Checked(); });
}

void frmProperty::LDG(Ledger* ledger) {
    ledger_ = ledger;
    tree_ = nullptr;
}

void frmProperty::LDG(Tree* tree) {
    tree_ = tree;
    ledger_ = nullptr;
}

UserDefInfo& frmProperty::EngineRef() {
    if (!engine_)
        engine_ = std::make_unique<UserDefInfo>(ctx_);
    return *engine_;
}

void frmProperty::KeepValueColumnHidden() {
    if (vaSProperty_.MaxCols() >= UserDefInfo::kColValue)
        vaSProperty_.SetColHidden(UserDefInfo::kColValue, true);
}

// --- Life -------------------------------------------------------------------

void frmProperty::Load() {
    // When the texts cannot be read, the captions stay as designed.
    PassOver([this] { LoadFormRes(ctx_, *this, formResOptions_); });
    loaded_ = true;
    PointerScope pointer(*this);
    try {
        Initialise();
    } catch (const std::runtime_error& e) {
        ShowWarning(ctx_, e.what());
    }
}

void frmProperty::Activate() {
    BusyScope busy(*this);
    alertOption_ = GetSysProfile(ctx_, "AlertSELowPrice");
    overlapOption_ = GetSysProfile(ctx_, "OverlapSalePrice");
    vaSProperty_.SetActiveCell(UserDefInfo::kColText, UserDefInfo::kRowItemNumber);
}

void frmProperty::Show() {
    if (!loaded_)
        Load();
    Activate();
    ctx_.Ui().ShowModal(*this);
}

void frmProperty::Unload() {
    if (Visible())
        Hide();
    engine_.reset();
    RefreshOnExit = chkRefresh_.Checked();
    loaded_ = false;
}

void frmProperty::QueryClose() {
    TbPriceButtonClick(kBtnExit);
}

// --- Initialisation -----------------------------------------------------------

void frmProperty::Initialise() {
    BusyScope busy(*this);
    if (sstProperty_.Tab() >= 0)
        sstProperty_.SetTabCaption(sstProperty_.Tab(), GetResText("销货信息"));
    errorPrompt_ = chkError_.Checked();
    clearAfterAdd_ = chkClear_.Checked();

    UserDefInfo& engine = EngineRef();
    engine.SelItemID = itemID_;
    engine.SelCustID = custID_;
    engine.SelEntryID = entryID_;
    engine.Spread(&vaSProperty_);
    engine.Status(&sdbStatus_);
    if (!ctx_.g_CategoryByCust)
        engine.SetStatus(GetResText("按物料组只提供基本计量单位的批量处理。"));
    LoadRecord();
    SetToolbarForMode();
    if (Single())
        newRecord_ = entryID_ == 0;
}

void frmProperty::LoadRecord() {
    BusyScope busy(*this);
    UserDefInfo& engine = EngineRef();
    engine.InitInfo();
    engine.OperationType(operationType_);
    engine.SetValues(this);
    engine.SetProperty();
    KeepValueColumnHidden();
    if (engine.Used() != 0)
        engine.LocktheGrd(0);
}

void frmProperty::SetToolbarForMode() {
    const bool audited = engine_ && engine_->Used() != 0;
    bool newShown = true;
    bool deleteShown = false;
    bool saveShown = true;
    bool checkShown = false;
    bool navigationShown = false;
    switch (operationType_) {
        case EditorOperation::kSingle:
            checkShown = navigationShown = entryID_ != 0;
            break;
        case EditorOperation::kBatchAdd:
            break;
        case EditorOperation::kBatchUpdate:
            newShown = false;
            break;
        case EditorOperation::kBatchDelete:
            newShown = saveShown = false;
            deleteShown = true;
            break;
        default:
            break;
    }
    for (const ButtonDesign& b : kButtons) tbPrice_.SetEnabled(b.key, true);
    tbPrice_.SetVisible(kBtnNew, newShown);
    tbPrice_.SetVisible(kBtnDelete, deleteShown);
    tbPrice_.SetVisible(kBtnSave, saveShown);
    tbPrice_.SetEnabled(kBtnSave, !(Single() && entryID_ != 0 && audited));
    tbPrice_.SetVisible(kBtnCheck, checkShown);
    for (const char* key : kNavigationButtons) tbPrice_.SetVisible(key, navigationShown);
    if (navigationShown && tree_) {
        tbPrice_.SetVisible(kBtnFirst, false);
        tbPrice_.SetVisible(kBtnLast, false);
    }
    enabledBeforeSettings_.clear();
}

void frmProperty::SetToolbarAfterStep() {
    tbPrice_.SetVisible(kBtnNew, false);
    for (const char* key : kNavigationButtons) tbPrice_.SetVisible(key, true);
    if (tree_) {
        tbPrice_.SetVisible(kBtnFirst, false);
        tbPrice_.SetVisible(kBtnLast, false);
    }
    tbPrice_.SetEnabled(kBtnSave, !(engine_ && engine_->Used() != 0));
}

// --- Tabs and check boxes -----------------------------------------------------

void frmProperty::TabClick(int previousTab) {
    if (sstProperty_.Tab() == kTabSettings) {
        // Nothing of the record can be run from the settings; the buttons get
        // back the state they had.
        enabledBeforeSettings_.clear();
        for (const char* key : kRecordButtons) {
            enabledBeforeSettings_[key] = tbPrice_.Item(key).enabled;
            tbPrice_.SetEnabled(key, false);
        }
    } else if (previousTab == kTabSettings) {
        for (const char* key : kRecordButtons) {
            auto found = enabledBeforeSettings_.find(key);
            tbPrice_.SetEnabled(key, found == enabledBeforeSettings_.end() || found->second);
        }
        enabledBeforeSettings_.clear();
    }
}

// --- Localisation -------------------------------------------------------------

void frmProperty::ForEachText(bool /*withColumnHeaders*/, const TextVisitor& visit) {
    using K = TextKind;
    visit(K::Caption, caption_);
    for (int tab = 0; tab < sstProperty_.TabCount(); ++tab) {
        std::string text = sstProperty_.TabCaption(tab);
        visit(K::Caption, text);
        sstProperty_.SetTabCaption(tab, text);
    }
    for (CheckBox* box : {&chkRefresh_, &chkAHelp_, &chkError_, &chkClear_}) {
        std::string text = box->Caption();
        visit(K::Caption, text);
        box->SetCaption(text);
    }
    for (const ButtonDesign& b : kButtons) {
        std::string caption = tbPrice_.Item(b.key).caption;
        visit(K::Caption, caption);
        tbPrice_.SetCaption(b.key, caption);
        std::string toolTip = tbPrice_.Item(b.key).toolTip;
        visit(K::Caption, toolTip);
        tbPrice_.SetToolTip(b.key, toolTip);
    }
}

}  // namespace orva
