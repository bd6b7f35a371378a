// frmProperty, the record editor window: one price entry as a property grid
// driven by the UserDefInfo engine, with the toolbar, the keyboard, the
// dirty-data prompts, record navigation over the browse window's list and a
// settings tab. The same window takes the criteria of a batch add, batch
// update or batch delete over a customer or item group.
//
// The browse window creates it, sets OperationType, EntryID, CustID, ItemID
// and LDG, calls Show (load, activate, modal loop) and then Unload, after
// which RefreshOnExit holds the state of ChkRefresh.
//
// Controls, as the view draws them: the toolbar TbPrice; the tab control
// SSTProperty with the property tab (the grid vaSProperty) and the settings
// tab (the four check boxes); the status bar sdbStatus, whose first panel the
// engine writes its help and status texts to. Grid column 1 holds the
// captions, column 2 what the user edits, column 3 the stored values; column
// 3 is always hidden.
//
// The window's files: frm_property.cpp (controls, life, initialisation,
// toolbar modes, tabs, check boxes), editor_toolbar.cpp (button clicks and
// the save prompt), editor_keys.cpp (keyboard and grid events),
// editor_checks.cpp (the checks shared by the commands), editor_save.cpp,
// editor_batch.cpp, editor_audit.cpp, editor_lookups.cpp,
// editor_cell_check.cpp, editor_navigation.cpp; editor_messages.h holds the
// message box and dialog helpers, editor_scopes.h the busy and pointer scopes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/editor_operation.h"
#include "host/controls/check_box.h"
#include "host/controls/signal.h"
#include "host/controls/spread.h"
#include "host/controls/status_bar.h"
#include "host/controls/tab_strip.h"
#include "host/controls/toolbar.h"
#include "host/dictionary.h"
#include "host/key_codes.h"
#include "host/localizable_form.h"
#include "host/modal_window.h"
#include "host/pointer_shape.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {

class Ledger;
class Tree;
class UserDefInfo;

class frmProperty : public ModalWindow, public LocalizableForm {
  public:
    // Toolbar keys, in button order.
    static constexpr const char* kBtnNew = "New";
    static constexpr const char* kBtnDelete = "Delete";
    static constexpr const char* kBtnSave = "Save";
    static constexpr const char* kBtnCheck = "Check";
    static constexpr const char* kBtnFirst = "Fr";
    static constexpr const char* kBtnPrevious = "Pr";
    static constexpr const char* kBtnNext = "Ne";
    static constexpr const char* kBtnLast = "La";
    static constexpr const char* kBtnExit = "Exit";

    // Tabs of SSTProperty.
    static constexpr int kTabProperty = 0;
    static constexpr int kTabSettings = 1;

    // Navigation steps.
    enum Step { kStepFirst = 0, kStepPrevious = 1, kStepLast = 2, kStepNext = 3 };

    // How a command ended: it completed, or it stopped (a check refused, the
    // user declined, or a step failed and was shown or passed over).
    enum class CommandResult { kStopped, kDone };

    explicit frmProperty(ModuleContext& ctx);
    ~frmProperty() override;
    frmProperty(const frmProperty&) = delete;
    frmProperty& operator=(const frmProperty&) = delete;

    std::string WindowName() const override { return "frmProperty"; }

    // --- Properties, set by the caller before the window is shown ---------
    EditorOperation OperationType() const { return operationType_; }
    void OperationType(EditorOperation value) { operationType_ = value; }
    std::int32_t EntryID() const { return entryID_; }
    void EntryID(std::int32_t value) { entryID_ = value; }
    std::int32_t CustID() const { return custID_; }
    void CustID(std::int32_t value) { custID_ = value; }
    std::int32_t ItemID() const { return itemID_; }
    void ItemID(std::int32_t value) { itemID_ = value; }
    // The browse window's list the record was opened from: its ledger, or
    // its group tree. Neither is owned; the caller keeps it alive while the
    // window is open.
    void LDG(Ledger* ledger);
    void LDG(Tree* tree);

    // Filled at unload with the state of ChkRefresh.
    bool RefreshOnExit = false;

    // --- Life ---------------------------------------------------------------
    // Translates the captions and initialises the grid for the properties.
    void Load();
    // Reads the minimum-price alert option and puts the cursor on the item
    // code.
    void Activate();
    // Load (the first time), Activate, then the modal loop of the user
    // interface; returns when the window has hidden itself.
    void Show();
    // Releases the engine and stores ChkRefresh in RefreshOnExit.
    void Unload();
    bool Loaded() const { return loaded_; }
    // The title bar's close button: as "Exit", with its questions.
    void QueryClose() override;

    // --- Controls -------------------------------------------------------------
    const std::string& Caption() const { return caption_; }
    Toolbar& TbPrice() { return tbPrice_; }
    TabStrip& SSTProperty() { return sstProperty_; }
    Spread& vaSProperty() { return vaSProperty_; }
    StatusBar& sdbStatus() { return sdbStatus_; }
    CheckBox& ChkRefresh() { return chkRefresh_; }
    CheckBox& ChkAHelp() { return chkAHelp_; }
    CheckBox& ChkError() { return chkError_; }
    CheckBox& ChkClear() { return chkClear_; }
    PointerShape MousePointer() const { return mousePointer_; }
    // Whether the help timer runs (ticked ChkAHelp); nothing is attached to it.
    bool HelpTimerEnabled() const { return helpTimerEnabled_; }

    // --- State ----------------------------------------------------------------
    bool Dirty() const { return dirty_; }
    bool NewRecord() const { return newRecord_; }
    bool ErrorPrompt() const { return errorPrompt_; }
    bool ClearAfterAdd() const { return clearAfterAdd_; }
    std::int16_t AlertOption() const { return alertOption_; }
    // The system option "OverlapSalePrice", read with AlertSELowPrice: what a
    // save does when the entry would overlap another of its customer, item,
    // unit and currency.
    static constexpr std::int16_t kOverlapWarn = 1;    // asks, Yes saves
    static constexpr std::int16_t kOverlapRefuse = 2;  // says why, saves nothing
    std::int16_t OverlapOption() const { return overlapOption_; }
    // The engine, created on first use; null after Unload.
    UserDefInfo* Engine() const { return engine_.get(); }

    // --- Events the view reports ----------------------------------------------
    // Window key down, before the controls see the key: returns the key code
    // left for them (0 when the window used it).
    int FormKeyDown(int keyCode, int shift);
    // Window key press: returns the character left for the controls (0 for
    // the quote characters, which no cell may hold).
    int FormKeyPress(int keyAscii);
    // The text in the grid's cell editor changed while the user types.
    // Toolbar clicks arrive through TbPrice().Click, the grid's change, key
    // down and cell leave through the events of vaSProperty().
    void vaSPropertyEditChange(const std::string& editorText);

    // --- Commands ---------------------------------------------------------------
    CommandResult SaveCommand();
    CommandResult BatchUpdateCommand();
    CommandResult BatchDeleteCommand();
    CommandResult AuditCommand();
    // The cell-leave check of (col, row): false keeps the user in the cell.
    bool CellCheck(int col, int row);
    // F7 or F8 on column 2 of a row with a lookup.
    void LookupCommand(int row, int keyCode);
    // Steps to another record of the browse window's list.
    void Navigate(Step step);

    // LocalizableForm: the caption, tab, check box and toolbar texts.
    void ForEachText(bool withColumnHeaders, const TextVisitor& visit) override;

  private:
    ModuleContext& ctx_;

    // RAII helpers (busy flag, hourglass).
    class BusyScope;
    class PointerScope;

    UserDefInfo& EngineRef();
    bool Single() const { return operationType_ == EditorOperation::kSingle; }

    // frm_property.cpp
    void BuildControls();
    void Subscribe();
    void Initialise();
    void LoadRecord();
    void SetToolbarForMode();
    void SetToolbarAfterStep();
    void TabClick(int previousTab);
    void KeepValueColumnHidden();

    // editor_toolbar.cpp
    void TbPriceButtonClick(const std::string& key);
    bool SavePrompt();
    CommandResult RunSave();
    void NewRecordClick();
    void SaveClick();
    void CheckClick();
    void ExitClick();
    void ClearForNextEntry();

    // editor_keys.cpp
    void GridChange(int col, int row);
    void GridKeyDown(int& keyCode, int shift);
    void GridLeaveCell(int col, int row, bool& cancel);
    bool ClickIfShown(const char* key);

    // editor_checks.cpp: each shows its message and returns false on refusal.
    bool CheckActiveCell();
    bool CheckCustomer();
    bool CheckItemText();
    bool CheckItemValue();
    bool CheckUnit();
    bool CheckBand();
    bool CheckDates();
    bool CheckCurrency();
    bool CheckPrice();
    double BasePrice();
    std::string CellText(int row) const;
    std::string CellValue(int row) const;

    // editor_batch.cpp: the batch commands' checks and run.
    CommandResult RunBatchUpdate();
    CommandResult RunBatchDelete();

    // editor_save.cpp
    bool ConfirmLowPrice(double basePrice);
    bool ConfirmNoOverlap();
    bool WriteRecord(double basePrice);
    bool EntryStillExists();

    // editor_lookups.cpp
    void CustomerPicker();
    void ItemPicker();
    void ListLookup(int row);
    void UnitLookup();
    void CurrencyLookup();
    void FillDefaultUnit(std::int32_t itemID);
    void SetDecimals(int row, int places);

    // editor_cell_check.cpp
    bool RunCellCheck(int col, int row);
    // The row checked for a locked cell of `row`; 0 when there is nothing to
    // check (a batch's group, an item not chosen yet).
    int LockedCheckRow(int row) const;
    void SelectProperty(int row);

    // editor_navigation.cpp
    bool StepLedger(Step step);
    bool StepTree(Step step);

    EditorOperation operationType_ = EditorOperation::kSingle;
    std::int32_t entryID_ = 0;
    std::int32_t custID_ = 0;
    std::int32_t itemID_ = 0;
    Ledger* ledger_ = nullptr;
    Tree* tree_ = nullptr;

    std::unique_ptr<UserDefInfo> engine_;
    bool loaded_ = false;
    bool dirty_ = false;
    bool newRecord_ = false;
    bool errorPrompt_ = false;
    bool clearAfterAdd_ = false;
    bool busy_ = false;
    bool skipValidation_ = false;
    bool validating_ = false;
    bool helpTimerEnabled_ = false;
    std::int16_t alertOption_ = 0;
    std::int16_t overlapOption_ = 0;  // off, kOverlapWarn or kOverlapRefuse
    std::string notedText_;
    PointerShape mousePointer_ = PointerShape::kDefault;
    // Enabled states of the buttons the settings tab disables.
    std::map<std::string, bool> enabledBeforeSettings_;

    std::string caption_;
    std::shared_ptr<Dictionary> formResOptions_;
    Toolbar tbPrice_;
    TabStrip sstProperty_;
    Spread vaSProperty_;
    StatusBar sdbStatus_;
    CheckBox chkRefresh_;
    CheckBox chkAHelp_;
    CheckBox chkError_;
    CheckBox chkClear_;
    Subscription subToolbar_;
    Subscription subTabs_;
    Subscription subGridChange_;
    Subscription subGridKeyDown_;
    Subscription subGridLeave_;
    Subscription subChkAHelp_;
    Subscription subChkError_;
    Subscription subChkClear_;
};

}  // namespace orva
