// Adjusting the prices of many entries at once: by a percentage or an
// amount, rounded to a step, over entries chosen elsewhere (the browse
// window's tree node, unit, currency and day). Two ways:
//
//   - in place: each unaudited entry gets its new price; audited entries
//     are never changed and are listed as left;
//   - from a day D: each unaudited entry is last in force the day before D
//     (its expiry date becomes D: an entry is in force from its effective
//     date up to the day before its expiry date), and a new unaudited entry
//     with the new price takes effect on D with the old entry's expiry date;
//     audited entries are left as they are and get no new entry (it would
//     overlap them).
//
// First a plan: every entry with its old and new price, what will be done
// with it and whether the new price is below the floor. Bad input is
// refused on the plan, before anything is written. Then the write, entry by
// entry through the price store, each entry committed on its own, under a
// progress the user may cancel: entries written before a Cancel or an
// error stay.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orvasaleprice/variant.h"

namespace orva {

class AppConnection;
class ModuleContext;

// How a price changes.
struct PriceChange {
    enum Kind { kPercent, kAmount };
    Kind kind = kPercent;
    double value = 0;       // percent (5 raises by 5 %), or an amount in the entry's currency
    double roundTo = 0.01;  // the new price is a multiple of this: 0.01, 0.1, 1, 5 ...
};

// The price after the change, rounded to the nearest multiple of the step
// (halves away from zero).
double AdjustedPrice(const PriceChange& change, double price);

enum class AdjustWay {
    kInPlace,     // change unaudited entries
    kNewFromDay,  // unaudited entries end before the day, new entries from the day
};

// A stored entry the adjustment looks at, with the codes and names the
// preview shows.
struct AdjustEntry {
    std::int32_t entryID = 0;
    std::int32_t custID = 0;
    std::int32_t itemID = 0;
    std::int32_t unitID = 0;
    std::int32_t currencyID = 0;
    double startQty = 0;
    double endQty = 0;
    double price = 0;
    double discount = 0;
    double leadTime = 0;
    Date quoteTime;
    Date expireDate;
    bool audited = false;
    std::string note;
    std::string custNumber, custName, itemNumber, itemName, unitName, currencyName;
};

struct AdjustRow {
    enum Action {
        kChange,       // the price is changed in place
        kSupersede,    // ended before the day; a new entry from the day
        kLeftAudited,  // audited: left as it is
    };
    AdjustEntry entry;
    double newPrice = 0;
    Action action = kChange;
    bool belowFloor = false;  // the new price per base unit undercuts the floor
};

struct AdjustPlan {
    AdjustWay way = AdjustWay::kInPlace;
    Date day;  // the new entries' effective date (way kNewFromDay)
    std::vector<AdjustRow> rows;

    std::size_t ToWrite() const;
    std::size_t LeftAudited() const { return rows.size() - ToWrite(); }
    std::size_t BelowFloor() const;
};

// The plan for the entries, or the reason (localised) the input is refused:
// no entry; a percentage of -100 % or less; a step that is not above 0; a
// new price of 0 or less; by way kNewFromDay a day on or before the start
// of an entry to be ended, or on or after its expiry date (the old or the
// new entry would never be in force). Floors are not looked at.
struct PlanOrRefusal {
    AdjustPlan plan;
    std::string refusal;  // "" when the plan may be written
};
PlanOrRefusal PlanAdjustment(const std::vector<AdjustEntry>& entries, const PriceChange& change,
                             AdjustWay way, const Date& day);

// Marks the rows whose new price, in the base currency and per base unit,
// is below the floor of their customer and item.
void CheckFloors(AppConnection& db, AdjustPlan& plan);

struct AdjustResult {
    std::size_t written = 0;  // entries changed, or ended with their successor written
    std::size_t skipped = 0;  // refused by the store (audited meanwhile, duplicate) or by the user
    bool stopped = false;     // the user pressed Cancel
    std::string error;        // the database's text when a write failed; the rest not written
};

// Writes the plan's rows through the price store on `db`, each on its own,
// under a progress named `caption`. With `alertLowPrice`, a row below the
// floor is asked about first (the customer named, or the item with
// `byItem`); No skips it. Shows nothing else.
AdjustResult WriteAdjustment(ModuleContext& ctx, AppConnection& db, const AdjustPlan& plan,
                             bool alertLowPrice, bool byItem, const std::string& caption);

}  // namespace orva
