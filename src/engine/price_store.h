// PriceStore: checks and writes price entries through one connection. It
// holds the rules a save keeps — the duplicate test, the customer-item
// header row that may have appeared meanwhile, the numbering of new
// entries, the minimum-price floor with currency and unit conversion, and
// which unaudited entry a batch update changes — and answers with an
// outcome. It shows nothing and asks nothing: the commands that call it turn
// an outcome into their message or question.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/price_entry.h"

namespace orva {

class AppConnection;

struct PriceOutcome {
    enum Kind {
        kWritten,        // the entry was written
        kAccepted,       // the entry passes the check asked for
        kDuplicate,      // another entry has the same key; nothing written
        kBelowFloor,     // the price per base unit is below the floor
        kAudited,        // the entry is audited: no right to change it
        kNoNumber,       // no new entry number could be drawn
        kDatabaseError,  // the database refused a statement; `error` says why
    };
    Kind kind = kWritten;
    std::string error;  // the database's own text, for kDatabaseError

    bool Written() const { return kind == kWritten; }
};

class PriceStore {
  public:
    explicit PriceStore(AppConnection& db) : db_(db) {}

    // --- Single entries ------------------------------------------------------

    // Inserts a new entry (unaudited, whatever its flag says), with the
    // customer-item header row when the pair has none. `entryID` receives
    // the new number once it is drawn, and its old value again when nothing
    // was written.
    PriceOutcome Add(const PriceEntry& entry, std::int32_t& entryID);
    // What a caller that planned new entries knows already (the import's
    // dry run): the customer-item header row is there (it read the pairs that
    // have one, or committed the row itself), and no stored entry had the
    // entry's key when it looked.
    struct Known {
        bool headerRow = false;
        bool keyFree = false;
    };
    // Add, leaving out the look-ups `known` answers. The duplicate test is
    // left out only where the database refuses a second entry with the key
    // (DbBackend::UniqueEntryKey): an entry written since the caller looked
    // then makes the insert clash, which answers kDuplicate all the same.
    PriceOutcome Add(const PriceEntry& entry, std::int32_t& entryID, Known known);
    // Writes the columns of stored entry `entry.entryID` that differ from
    // `loaded` (the currency always). An entry loaded audited is refused.
    PriceOutcome Update(const PriceEntry& entry, const PriceEntry& loaded);

    // --- The minimum-price floor ----------------------------------------------

    // The entry's price in the base currency.
    double BasePrice(const PriceEntry& entry);
    // Whether a price in the base currency undercuts the floor of the
    // customer and item. With a unit, the price is per that unit and is
    // brought to the base unit through the unit's coefficient first; the
    // editor's save reads the coefficient before the floor, the batches
    // after it (`coefficientFirst`), each as it always has.
    struct FloorQuery {
        std::int32_t custID = 0;
        std::int32_t itemID = 0;
        double basePrice = 0;
        std::optional<std::string> unitID;  // none: the price is per base unit
        bool coefficientFirst = false;
    };
    PriceOutcome CheckFloor(const FloorQuery& query);

    // --- Batch add -------------------------------------------------------------

    // The values a batch add writes for every member, rendered once before
    // the batch begins (a date that is none raises kTypeMismatch). The unit
    // is "" when each item's base unit is written.
    struct AddTexts {
        std::string unit, startQty, endQty, price, currency, leadTime;
        std::string quoteTime, expireDate;  // quoted dates
        std::string note;                   // quoted text
    };
    static AddTexts RenderAdd(const PriceEntry& batch, bool gridUnit);

    // One member's entry: for (custID, itemID), its header row insert ("" when
    // the pair has one), the unit written and the duplicate test.
    struct MemberEntry {
        std::int32_t custID = 0;
        std::int32_t itemID = 0;
        std::string headerLookUp;
        std::string header;
        std::string unit;
        std::string duplicate;
    };
    // Looks up the member's header row, its unit (with `baseUnit` the item's
    // base unit, 0 when it has none) and the duplicate test: nullopt when the
    // member already has the entry. A failing look-up raises its error.
    std::optional<MemberEntry> PlanMember(const AddTexts& texts, std::int32_t custID,
                                          std::int32_t itemID, bool baseUnit);
    // Numbers and writes the member's entry with its header row when that
    // was missing, audited or not: kWritten; kDuplicate when another client
    // wrote the same entry meanwhile; kNoNumber or kDatabaseError.
    PriceOutcome WriteMember(const AddTexts& texts, const MemberEntry& member, bool audited);

    // --- Batch update ------------------------------------------------------------

    // The pieces of a batch update's statements that come from its values,
    // rendered once before the batch begins.
    struct UpdateTexts {
        std::string update;           // UPDATE ... SET the new values
        std::string gridUnit;         // the unit to match, by customer group
        std::string bandAndCurrency;  // the band, currency and expiry date to match
        std::string quoteFilter;      // filters of the batch's effective and expiry dates
        std::string expireFilter;
    };
    static UpdateTexts RenderUpdate(const PriceEntry& batch);
    // The update that gives the current unaudited entry of (custID, itemID)
    // in `unit` that matches the batch the batch's price, lead time,
    // effective date and note; "" when none is the current one. An audited
    // entry is never changed. A failing look-up raises its error.
    std::string MemberUpdate(const UpdateTexts& texts, std::int32_t custID, std::int32_t itemID,
                             const std::string& unit);

    // --- Price adjustment ---------------------------------------------------------

    // Gives unaudited entry `entryID` the price: kAudited when the entry is
    // audited (or gone) by now, nothing written.
    PriceOutcome SetPrice(std::int32_t entryID, double price);
    // Ends unaudited entry `old` before `day` (its expiry date becomes `day`,
    // the first day it is no longer in force) and adds its successor: the
    // same entry with `price`, effective from `day`, unaudited. Both are written
    // or neither: kAudited (the old entry is audited or gone by now),
    // kDuplicate (the successor's key is taken), kNoNumber, kDatabaseError.
    // `newID` receives the successor's number.
    PriceOutcome Supersede(const PriceEntry& old, double price, const std::string& day,
                           std::int32_t& newID);

    // --- Overlapping entries ------------------------------------------------------

    // An entry that an entry being saved would overlap (same customer, item,
    // unit and currency; bands and periods intersecting).
    struct OverlapFound {
        std::size_t saved = 0;     // which of the entries saved
        std::int32_t entryID = 0;  // the other entry; 0 for a new one of the same save
        double price = 0;
        double startQty = 0;
        double endQty = 0;       // 0: no upper end
        std::string quoteTime;   // yyyy-mm-dd, "" when it is none
        std::string expireDate;  // yyyy-mm-dd, "" when it is none
    };
    // The overlaps that writing `saved` in one command would leave: new
    // entries (entryID 0) and stored ones in their new state. Each saved
    // entry is compared with the entries of its key as they will stand once
    // the command has written: the stored ones it does not rewrite, and the
    // other saved entries in their new state, never their old one (so two
    // entries whose periods are swapped in one command do not collide). An
    // entry with an empty currency is taken as currency 1, as the insert
    // writes it. A failing statement raises its error.
    std::vector<OverlapFound> FindOverlaps(const std::vector<PriceEntry>& saved);

  private:
    bool HasDuplicate(const PriceEntry& entry, bool stored);
    bool HeaderAppeared(const std::exception& e, const std::string& lookUp);
    void EnsureHeaderRow(const std::string& item, const std::string& cust);
    bool KeyStored(const std::string& where);
    std::int32_t NextEntryID();
    double UnitCoefficient(const std::string& unitID);

    AppConnection& db_;
};

}  // namespace orva
