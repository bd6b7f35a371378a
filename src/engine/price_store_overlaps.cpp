// The price store: which entries a save would leave overlapping.
#include <algorithm>
#include <map>
#include <tuple>

#include "engine/engine_values.h"
#include "engine/price_overlap.h"
#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"

namespace orva {
namespace {

std::optional<Date> EntryDate(std::string_view text) {
    auto date = Date::Parse(Trim(text));
    if (date && date->IsValid())
        return date;
    return std::nullopt;
}

// The columns of a saved entry the overlap rule reads, as the save writes them.
PriceSpan SavedSpan(const PriceEntry& e) {
    PriceSpan s;
    s.entryID = e.entryID;
    s.custID = ValId(e.custID);
    s.itemID = ValId(e.itemID);
    s.unitID = ValId(e.unitID);
    s.currencyID = Trim(e.currencyID).empty() ? 1 : ValId(e.currencyID);
    s.startQty = Val(e.startQty);
    s.endQty = Val(e.endQty);
    s.quoteTime = EntryDate(e.quoteTime);
    s.expireDate = EntryDate(e.expireDate);
    return s;
}

std::string DateText(const std::optional<Date>& date) {
    return date ? date->ToText() : std::string();
}

// One entry of a key as it will stand after the save.
struct Standing {
    PriceSpan span;
    double price = 0;
    std::optional<std::size_t> saved;  // its index among the saved entries
};

}  // namespace

std::vector<PriceStore::OverlapFound> PriceStore::FindOverlaps(
    const std::vector<PriceEntry>& saved) {
    using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>;
    std::map<Key, std::vector<Standing>> keys;
    std::vector<std::int32_t> rewritten;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const PriceSpan s = SavedSpan(saved[i]);
        keys[{s.custID, s.itemID, s.unitID, s.currencyID}].push_back({s, Val(saved[i].price), i});
        if (s.entryID != 0)
            rewritten.push_back(s.entryID);
    }

    std::vector<OverlapFound> found;
    for (auto& [key, standing] : keys) {
        const auto [cust, item, unit, currency] = key;
        RecordsetPtr rs = db_.Execute(
            "SELECT FEntryID,FStartQty,FEndQty,FQuoteTime,FExpireDate,FPrice FROM t_CustEntry "
            "WHERE FCustID=" +
            SqlId(cust) + " AND FItemID=" + SqlId(item) + " AND FUnitID=" + SqlId(unit) +
            " AND FCyID=" + SqlId(currency));
        for (; rs && !rs->EOF_(); rs->MoveNext()) {
            Standing other;
            other.span.entryID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
            // A stored entry this save rewrites counts in its new state only.
            if (std::find(rewritten.begin(), rewritten.end(), other.span.entryID) !=
                rewritten.end())
                continue;
            other.span.custID = cust;
            other.span.itemID = item;
            other.span.unitID = unit;
            other.span.currencyID = currency;
            other.span.startQty = rs->Fields(1).Value().ToDouble();
            other.span.endQty = rs->Fields(2).Value().ToDouble();
            other.span.quoteTime = rs->Fields(3).Value().ToDate();
            other.span.expireDate = rs->Fields(4).Value().ToDate();
            other.price = rs->Fields(5).Value().ToDouble();
            standing.push_back(std::move(other));
        }
        for (const Standing& mine : standing) {
            if (!mine.saved)
                break;  // the saved entries of the key come first
            for (const Standing& other : standing) {
                if (&other == &mine || !Overlap(mine.span, other.span))
                    continue;
                found.push_back({*mine.saved, other.span.entryID, other.price, other.span.startQty,
                                 other.span.endQty, DateText(other.span.quoteTime),
                                 DateText(other.span.expireDate)});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const OverlapFound& a, const OverlapFound& b) {
        return std::tie(a.saved, a.entryID) < std::tie(b.saved, b.entryID);
    });
    return found;
}

}  // namespace orva
