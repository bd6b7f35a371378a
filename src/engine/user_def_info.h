// UserDefInfo: the engine behind the record editor's property grid. It holds
// the sixteen row descriptors of a price entry (one grid row each: customer
// code and name, item code, name and model, unit, quantity band,
// price, currency, discount, lead time, effective date, audit state, expiry
// date, note), loads them from the database, formats the grid, checks each
// typed value against the base data, saves the entry, and runs the batch
// operations over a customer or item group.
//
// Grid columns: 1 the caption, 2 what the user sees and types, 3 the stored
// value (an ID, a number, a date or a text).
//
// Opening order used by the editor: set SelItemID / SelCustID / SelEntryID,
// Spread and Status; InitInfo; OperationType; SetValues; SetProperty; and
// LocktheGrd(0) when Used() is non-zero.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/editor_operation.h"
#include "engine/price_entry.h"
#include "model/base_group.h"
#include "orvasaleprice/prop_desc.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"
#include "session/module_context.h"

namespace orva {

class AppConnection;
class Spread;
class StatusBar;
class frmProperty;

class UserDefInfo {
  public:
    // Grid rows, in the fixed order of the descriptors.
    enum Row : std::int32_t {
        kRowCustNumber = 1,
        kRowCustName = 2,
        kRowItemNumber = 3,
        kRowItemName = 4,
        kRowModel = 5,
        kRowUnit = 6,
        kRowStartQty = 7,
        kRowEndQty = 8,
        kRowPrice = 9,
        kRowCurrency = 10,
        kRowDiscount = 11,
        kRowLeadTime = 12,
        kRowQuoteTime = 13,
        kRowUsed = 14,
        kRowExpireDate = 15,
        kRowNote = 16,
    };
    static constexpr std::int32_t kRowCount = 16;
    // Grid columns.
    static constexpr std::int32_t kColCaption = 1;
    static constexpr std::int32_t kColText = 2;
    static constexpr std::int32_t kColValue = 3;

    // ProgID of the host's base-data list window (GetInfoList).
    static constexpr const char* kBaseListProgID = "OrvaBaseList.BaseList";

    // The keys of the entry being edited, or those preselected by the caller.
    std::int32_t SelItemID = 0;
    std::int32_t SelCustID = 0;
    std::int32_t SelEntryID = 0;  // 0 for a new entry
    std::int16_t SelUsed = 0;     // audit flag of the loaded entry
    // What a batch add does with a member whose new entry would overlap
    // another entry of the member (the editor's "OverlapSalePrice"): 0 writes
    // it, 1 asks per member, 2 passes the member over and says how many were.
    std::int16_t OverlapOption = 0;

    explicit UserDefInfo(ModuleContext& ctx);
    ~UserDefInfo();
    UserDefInfo(const UserDefInfo&) = delete;
    UserDefInfo& operator=(const UserDefInfo&) = delete;

    // --- Grid model (user_def_info.cpp) -------------------------------------

    EditorOperation OperationType() const { return operationType_; }
    void OperationType(EditorOperation value) { operationType_ = value; }

    // The descriptor collection; the getter creates an empty one when none is
    // held.
    std::shared_ptr<orva::PropDesc> PropDesc();
    void PropDesc(std::shared_ptr<orva::PropDesc> descs) { propDesc_ = std::move(descs); }

    // The editor's grid and status bar; held, not owned.
    void Spread(orva::Spread* grid) { grid_ = grid; }
    void Status(StatusBar* bar) { status_ = bar; }

    // Builds the sixteen descriptors into a new collection: 0, or -1 when
    // building failed (the descriptors added so far stay). Never throws.
    std::int32_t InitInfo();

    std::int16_t Used() const { return SelUsed; }
    void Used(std::int16_t value) { SelUsed = value; }

    // 0 locks every cell, any other value unlocks every cell; either way the
    // locked-cell colour is set.
    void LocktheGrd(std::int16_t flag);
    // Empties every cell of the grid.
    void ClearText();
    // Shows the text in the first panel of the status bar (nothing without one).
    void SetStatus(const std::string& text);
    // Resets the editable values for entering the next entry; with vClear the
    // grid texts too, and the unlocked customer or item rows.
    void ClearSpread(bool vClear);

    // --- Validation (cell_validation.cpp) -----------------------------------

    // Checks the text of cell (Col, Row) by the row's lookup kind and
    // completes the dependent rows. False refuses it; sReturn then receives
    // the localised reason (left as it was for a silent refusal).
    bool Changed(std::int32_t Row, std::int32_t Col, std::string& sReturn);

    // --- Formatting and lookups (set_property.cpp) ---------------------------

    // Formats the grid from the descriptors: kinds, texts, stored values,
    // locks and hidden rows. Always 0; database and grid errors propagate.
    std::int32_t SetProperty();
    // Opens the host's list window with the filter and keyword for the list
    // code; the record set of the picked records, or nullptr on any failure
    // (no message).
    RecordsetPtr GetInfoList(const std::string& Filter, const std::string& KeyWord,
                             std::int16_t Search);

    // --- Loading (load_record.cpp) ------------------------------------------

    // Loads the batch's fixed customer or item, and the stored entry, into
    // the descriptors. Always 0; a database failure is shown in a message box.
    std::int32_t SetValues(frmProperty* frm = nullptr);
    // Display text of an ID for a lookup kind; "" when nothing is found.
    // Never throws.
    std::string GetName(std::int32_t id, std::int32_t kind);
    // Currency name for class 120 ("This is a bug" for a currency that does
    // not exist); Null for any other class. Never throws.
    Variant GetOtherName(std::int32_t classCode, std::string_view value);

    // --- Saving (save_record.cpp) -------------------------------------------

    // The entry as the grid holds it (the stored values, column 3), with
    // SelEntryID.
    PriceEntry GridEntry();
    // Inserts the grid as a new entry (and the customer-item header row when
    // missing). True when inserted; SelEntryID then holds the new number.
    bool Add();
    // Writes the changed cells of entry SelEntryID. A failure flag: true when
    // the save failed (duplicate, database error, or an entry loaded
    // audited, which the editor offers no save for), false when updated.
    bool Update();

    // --- Detail queries (detail_queries.cpp) --------------------------------

    // The detail members under an item or customer group (one column
    // FItemID, ascending, data rights applied); nullptr on failure.
    void GetDetailItem(std::int32_t groupID, RecordsetPtr& detail);
    void GetDetailCust(std::int32_t groupID, RecordsetPtr& detail);

    // --- Batch operations (batch_*.cpp) -------------------------------------

    // Each returns the number of entries written (0 after an error).
    // alertLowPrice: non-zero asks per entry when the price is below the
    // minimum; basePrice: the grid's price in the base currency.
    std::int32_t BatchAdd(std::int16_t& alertLowPrice, double& basePrice);
    std::int32_t BatchAdd_Item(std::int16_t& alertLowPrice, double& basePrice);
    std::int32_t BatchUpdate_Item(std::int16_t& alertLowPrice, double& basePrice);
    std::int32_t BatchUpdate(std::int16_t& alertLowPrice, double& basePrice);
    std::int32_t BatchDelete_Item();
    std::int32_t BatchDelete();

  private:
    ModuleContext& ctx_;

    std::int32_t BuildPropDescs();
    // True when the entry for (customer, item) may be written at this price.
    bool ConfirmLowPrice(std::int32_t custID, std::int32_t itemID, double& basePrice);
    // True when the user answers Yes to writing the member's overlapping entry.
    bool ConfirmOverlap(std::int32_t custID, std::int32_t itemID);
    // "number(name" of the member a batch question is about: the customer,
    // or the item by item group.
    std::string MemberLabel(std::int32_t custID, std::int32_t itemID);

    // Helpers shared by the engine's files.
    orva::Spread& Grid() const;
    std::shared_ptr<t_PropDesc> Desc(std::int32_t row);
    bool IsBatch() const {
        return operationType_ == EditorOperation::kBatchAdd ||
               operationType_ == EditorOperation::kBatchUpdate ||
               operationType_ == EditorOperation::kBatchDelete;
    }
    // The entry as the descriptors loaded it, with SelEntryID.
    PriceEntry LoadedEntry();
    std::string UnitName(std::int32_t unitID);
    // SetProperty's steps (set_property.cpp).
    void FillPropertyRow(orva::Spread& grid, int row, t_PropDesc& desc);
    void LockPropertyRows(orva::Spread& grid);
    // GetName's lookups by kind (load_record.cpp).
    std::string CustomerCode(AppConnection& db, std::int32_t id);
    std::string ItemCode(AppConnection& db, std::int32_t id);
    std::string ItemName(AppConnection& db, std::int32_t id);
    std::string CustomerName(AppConnection& db, std::int32_t id);
    void ApplyItemDecimals(const Variant& priceDecimal, const Variant& qtyDecimal);
    bool CheckItem(std::int32_t row, std::int32_t col, const std::string& typed,
                   std::int64_t picked, std::string& sReturn);
    bool CheckCustomer(std::int32_t row, std::int32_t col, std::int32_t kind,
                       const std::string& typed, std::int64_t picked, std::string& sReturn);
    bool CheckUnit(std::int32_t row, std::int32_t col, const std::string& typed);
    bool CheckCurrency(std::int32_t row, std::int32_t col, std::int64_t picked,
                       std::string& sReturn);
    bool CheckPlainValue(std::int32_t row, std::int32_t col, const std::string& typed);
    bool CheckBaseItem(std::int32_t row, std::int32_t col, std::int32_t kind,
                       const std::string& typed, std::int64_t picked);

    std::shared_ptr<orva::PropDesc> propDesc_;
    BaseGroup baseGroup_;
    orva::Spread* grid_ = nullptr;
    StatusBar* status_ = nullptr;
    EditorOperation operationType_ = EditorOperation::kSingle;
};

}  // namespace orva
