#include "browse/ledger_overlaps.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "engine/price_overlap.h"

namespace orva {

namespace {

std::int32_t Id(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

double Number(const Variant& v) {
    return v.IsNull() ? 0 : v.ToDouble();
}

std::string Name(const Variant& v) {
    const std::string* text = v.AsText();
    return text ? *text : v.ToText();
}

}  // namespace

void LedgerOverlaps::Reset(const Recordset* rs) {
    records_ = nullptr;
    others_.clear();
    done_.clear();
    count_ = 0;
    if (!rs)
        return;
    o_.entry = rs->ColumnIndex("FEntryID");
    o_.cust = rs->ColumnIndex("FCustID");
    o_.item = rs->ColumnIndex("FItemID");
    o_.unit = rs->ColumnIndex("FUnitName");
    o_.currency = rs->ColumnIndex("FCyName");
    o_.start = rs->ColumnIndex("FStartQty");
    o_.end = rs->ColumnIndex("FEndQty");
    o_.from = rs->ColumnIndex("FQuoteTime");
    o_.to = rs->ColumnIndex("FExpireDate");
    if (std::min({o_.entry, o_.cust, o_.item, o_.unit, o_.currency, o_.start, o_.end, o_.from,
                  o_.to}) < 0)
        return;
    records_ = rs;
    count_ = rs->RecordCount();
    done_.assign(static_cast<std::size_t>(count_), false);
    // Whether each customer and item's rows stand together: a pair seen
    // again after another one began is not.
    together_ = true;
    std::set<std::pair<std::int32_t, std::int32_t>> ended;
    for (long r = 1; r < count_ && together_; ++r) {
        if (SamePair(r - 1, r))
            continue;
        ended.emplace(Id(rs->Cell(r - 1, o_.cust)), Id(rs->Cell(r - 1, o_.item)));
        together_ = ended.count({Id(rs->Cell(r, o_.cust)), Id(rs->Cell(r, o_.item))}) == 0;
    }
}

bool LedgerOverlaps::SamePair(long a, long b) const {
    return Id(records_->Cell(a, o_.cust)) == Id(records_->Cell(b, o_.cust)) &&
           Id(records_->Cell(a, o_.item)) == Id(records_->Cell(b, o_.item));
}

void LedgerOverlaps::WorkOutAround(long record) {
    if (!together_) {
        WorkOut(0, count_ - 1);
        return;
    }
    long first = record, last = record;
    while (first > 0 && SamePair(first - 1, record)) --first;
    while (last + 1 < count_ && SamePair(last + 1, record)) ++last;
    WorkOut(first, last);
}

void LedgerOverlaps::WorkOut(long first, long last) {
    const Recordset& rs = *records_;
    std::vector<PriceSpan> spans;
    spans.reserve(static_cast<std::size_t>(last - first + 1));
    std::vector<std::string> units, currencies;  // names as small numbers
    auto number = [](std::vector<std::string>& names, std::string name) {
        auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end())
            it = names.insert(names.end(), std::move(name));
        return static_cast<std::int32_t>(it - names.begin());
    };
    for (long r = first; r <= last; ++r) {
        PriceSpan s;
        // The record's position stands in for its entry ID: an entry the
        // view shows twice is two rows, each marked.
        s.entryID = static_cast<std::int32_t>(r);
        s.custID = Id(rs.Cell(r, o_.cust));
        s.itemID = Id(rs.Cell(r, o_.item));
        s.unitID = number(units, Name(rs.Cell(r, o_.unit)));
        s.currencyID = number(currencies, Name(rs.Cell(r, o_.currency)));
        s.startQty = Number(rs.Cell(r, o_.start));
        s.endQty = Number(rs.Cell(r, o_.end));
        s.quoteTime = rs.Cell(r, o_.from).ToDate();
        s.expireDate = rs.Cell(r, o_.to).ToDate();
        spans.push_back(std::move(s));
        done_[static_cast<std::size_t>(r)] = true;
    }
    // The sweep wants the entries of one customer, item and unit side by
    // side.
    std::stable_sort(spans.begin(), spans.end(), [](const PriceSpan& a, const PriceSpan& b) {
        return std::tie(a.custID, a.itemID, a.unitID) < std::tie(b.custID, b.itemID, b.unitID);
    });
    for (auto [a, b] : OverlappingPairs(spans)) {
        const long ra = spans[a].entryID;
        const long rb = spans[b].entryID;
        others_[ra].push_back(rb);
        others_[rb].push_back(ra);
    }
    for (long r = first; r <= last; ++r) {
        auto it = others_.find(r);
        if (it != others_.end())
            std::sort(it->second.begin(), it->second.end());
    }
}

bool LedgerOverlaps::Marked(long record) {
    return !Others(record).empty();
}

std::span<const long> LedgerOverlaps::Others(long record) {
    if (!records_ || record < 0 || record >= count_)
        return {};
    if (!done_[static_cast<std::size_t>(record)])
        WorkOutAround(record);
    auto it = others_.find(record);
    if (it == others_.end())
        return {};
    return it->second;
}

}  // namespace orva
