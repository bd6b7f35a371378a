#include "browse/ledger_overlaps.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <tuple>

#include "engine/price_overlap.h"

namespace orva {

namespace {

// The ordinals of the columns the rule reads; -1 when one is missing.
struct Ordinals {
    int entry, cust, item, unit, currency, start, end, from, to;

    explicit Ordinals(const Recordset& rs)
        : entry(rs.ColumnIndex("FEntryID")),
          cust(rs.ColumnIndex("FCustID")),
          item(rs.ColumnIndex("FItemID")),
          unit(rs.ColumnIndex("FUnitName")),
          currency(rs.ColumnIndex("FCyName")),
          start(rs.ColumnIndex("FStartQty")),
          end(rs.ColumnIndex("FEndQty")),
          from(rs.ColumnIndex("FQuoteTime")),
          to(rs.ColumnIndex("FExpireDate")) {}

    bool Complete() const {
        return std::min({entry, cust, item, unit, currency, start, end, from, to}) >= 0;
    }
};

// Names as small numbers: equal names, equal numbers.
class Names {
  public:
    std::int32_t Of(const Variant& v) {
        const std::string* text = v.AsText();
        const std::string key = text ? *text : v.ToText();
        return numbers_.try_emplace(key, static_cast<std::int32_t>(numbers_.size())).first->second;
    }

  private:
    std::unordered_map<std::string, std::int32_t> numbers_;
};

std::int32_t Id(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

double Number(const Variant& v) {
    return v.IsNull() ? 0 : v.ToDouble();
}

}  // namespace

void LedgerOverlaps::Mark(const Recordset& rs) {
    others_.clear();
    const Ordinals o(rs);
    const long count = rs.RecordCount();
    if (!o.Complete() || count < 2)
        return;

    std::vector<PriceSpan> spans(static_cast<std::size_t>(count));
    Names units, currencies;
    for (long r = 0; r < count; ++r) {
        PriceSpan& s = spans[static_cast<std::size_t>(r)];
        // The record's position stands in for its entry ID: an entry the
        // view shows twice is two rows, each marked.
        s.entryID = static_cast<std::int32_t>(r);
        s.custID = Id(rs.Cell(r, o.cust));
        s.itemID = Id(rs.Cell(r, o.item));
        s.unitID = units.Of(rs.Cell(r, o.unit));
        s.currencyID = currencies.Of(rs.Cell(r, o.currency));
        s.startQty = Number(rs.Cell(r, o.start));
        s.endQty = Number(rs.Cell(r, o.end));
        s.quoteTime = rs.Cell(r, o.from).ToDate();
        s.expireDate = rs.Cell(r, o.to).ToDate();
    }
    // The sweep wants the entries of one customer, item and unit side by
    // side; the ledger is in order of code, which need not keep them so.
    std::vector<std::size_t> order(spans.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto key = [&](std::size_t i) {
        return std::tie(spans[i].custID, spans[i].itemID, spans[i].unitID);
    };
    if (!std::is_sorted(order.begin(), order.end(),
                        [&](std::size_t a, std::size_t b) { return key(a) < key(b); })) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    }
    std::vector<PriceSpan> sorted;
    sorted.reserve(spans.size());
    for (std::size_t i : order) sorted.push_back(spans[i]);

    for (auto [a, b] : OverlappingPairs(sorted)) {
        const long ra = sorted[a].entryID;
        const long rb = sorted[b].entryID;
        others_[ra].push_back(rb);
        others_[rb].push_back(ra);
    }
    for (auto& [record, others] : others_) std::sort(others.begin(), others.end());
}

std::span<const long> LedgerOverlaps::Others(long record) const {
    auto it = others_.find(record);
    if (it == others_.end())
        return {};
    return it->second;
}

}  // namespace orva
