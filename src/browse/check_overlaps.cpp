#include "browse/check_overlaps.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "engine/price_overlap.h"
#include "host/app_connection.h"
#include "model/sql_values.h"

namespace orva {

namespace {

// Columns of the statement, by ordinal.
enum Column {
    kEntryID,
    kCustID,
    kItemID,
    kUnitID,
    kCyID,
    kStartQty,
    kEndQty,
    kQuoteTime,
    kExpireDate,
    kPrice,
    kUsed,
};

using Names = std::unordered_map<std::int32_t, RecordName>;

// Reads code and name of `ids` from a statement that selects ID, code and
// name and ends with "WHERE <id column> IN (": a thousand IDs at a time, or,
// for more IDs than a few such statements hold, the whole table in one
// statement (a long IN list costs more to send than the rows it spares).
Names ReadNames(AppConnection& db, const std::string& select, const std::set<std::int32_t>& ids) {
    Names names;
    constexpr std::size_t kPerStatement = 1000;
    auto read = [&](const std::string& sql, bool filter) {
        RecordsetPtr rs = db.Execute(sql);
        for (; rs && !rs->EOF_(); rs->MoveNext()) {
            const auto id = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
            if (!filter || ids.count(id))
                names[id] = {rs->Fields(1).Value().ToText(), rs->Fields(2).Value().ToText()};
        }
    };
    if (ids.size() > 4 * kPerStatement) {
        read(select.substr(0, select.rfind(" WHERE ")), true);
        return names;
    }
    auto it = ids.begin();
    while (it != ids.end()) {
        std::string sql = select;
        for (std::size_t n = 0; n < kPerStatement && it != ids.end(); ++n, ++it) {
            if (n > 0)
                sql += ',';
            sql += SqlId(*it);
        }
        sql += ')';
        read(sql, false);
    }
    return names;
}

std::int32_t Id(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

double Number(const Variant& v) {
    return v.IsNull() ? 0 : v.ToDouble();
}

// One entry of a pair: the sweep's columns from its span, price and audit
// flag from its row.
OverlapSide Side(const Recordset& rs, const PriceSpan& span, long row) {
    OverlapSide side;
    side.entryID = span.entryID;
    side.startQty = span.startQty;
    side.endQty = span.endQty;
    side.price = Number(rs.Cell(row, kPrice));
    side.quoteTime = *span.quoteTime;
    side.expireDate = *span.expireDate;
    side.audited = Number(rs.Cell(row, kUsed)) == 1;
    return side;
}

}  // namespace

std::string CheckOverlapsSql(bool byItem, const std::string& scope,
                             const tvwBuilder::RightsContext& rights, std::size_t top) {
    std::string sql = "SELECT ";
    if (top > 0)
        sql += "TOP " + std::to_string(top) + " ";
    sql +=
        "u1.FEntryID,u1.FCustID,u1.FItemID,u1.FUnitID,u1.FCyID,u1.FStartQty,u1.FEndQty,"
        "u1.FQuoteTime,u1.FExpireDate,u1.FPrice,u1.FUsed";
    // The ledger's joins and rights, for every leaf at once: the leaf column
    // compared with itself.
    sql += tvwBuilder::LedgerFromWhere(byItem, false, byItem ? "u1.FItemID" : "u1.FCustID", rights);
    sql += scope;
    // The order of the key index on item, customer and unit (no sort); the
    // sweep orders each such run by currency and date itself.
    sql += " ORDER BY u1.FItemID,u1.FCustID,u1.FUnitID";
    return sql;
}

namespace {

// Where the next read of the check starts, in the order of item and
// customer. A read takes at most `rowsPerRead` rows and keeps only whole
// items (or, within one item too long for a read, whole customers), so a
// run of one key is never split between two reads; the rows of the cut run
// are read again by the next one.
class ReadPosition {
  public:
    explicit ReadPosition(std::size_t rowsPerRead) : rowsPerRead_(rowsPerRead) {}

    bool Done() const { return done_; }
    // Rows the next statement reads at most; 0 for all of them.
    std::size_t Top() const { return whole_ ? 0 : rowsPerRead_; }
    // The statement's condition on where it starts (after the scope's).
    std::string Condition() const {
        if (!started_)
            return {};
        if (!byCust_)
            return "AND u1.FItemID>=" + SqlId(item_) + " ";
        return "AND u1.FItemID=" + SqlId(item_) + " AND u1.FCustID" + (whole_ ? "=" : ">=") +
               SqlId(cust_) + " ";
    }

    // How many of the `count` rows just read to keep (the item and customer
    // of row r given by itemOf and custOf), and where the next read starts.
    template <typename ItemOf, typename CustOf>
    std::size_t Keep(std::size_t count, ItemOf itemOf, CustOf custOf) {
        started_ = true;
        if (whole_ || count < rowsPerRead_) {
            // Everything from here on was read: the customer (or the item,
            // or the company) is complete.
            if (byCust_ && whole_) {
                cust_ += 1;
                whole_ = false;
            } else if (byCust_) {
                byCust_ = false;
                item_ += 1;
            } else {
                done_ = true;
            }
            return count;
        }
        const std::int32_t lastItem = itemOf(count - 1);
        if (!byCust_ && itemOf(0) != lastItem) {
            item_ = lastItem;
            return Cut(count, itemOf);
        }
        // One item filled the read: go on customer by customer within it.
        item_ = lastItem;
        const std::int32_t lastCust = custOf(count - 1);
        byCust_ = true;
        if (custOf(0) != lastCust) {
            cust_ = lastCust;
            return Cut(count, custOf);
        }
        // One customer of one item filled it: read that run whole.
        cust_ = lastCust;
        whole_ = true;
        return 0;
    }

  private:
    // The rows before the run of the last row's value.
    template <typename ValueOf>
    static std::size_t Cut(std::size_t count, ValueOf valueOf) {
        const std::int32_t last = valueOf(count - 1);
        std::size_t keep = count - 1;
        while (keep > 0 && valueOf(keep - 1) == last) --keep;
        return keep;
    }

    std::size_t rowsPerRead_;
    bool started_ = false;
    bool done_ = false;
    bool whole_ = false;
    std::int32_t item_ = 0;
    bool byCust_ = false;  // reading one item customer by customer
    std::int32_t cust_ = 0;
};

// Code and name of every ID in `ids`, by ReadNames.
Names NamesOf(AppConnection& db, const std::string& select, std::vector<std::int32_t>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ReadNames(db, select, std::set<std::int32_t>(ids.begin(), ids.end()));
}

}  // namespace

OverlapList CheckOverlaps(ModuleContext& ctx, bool byItem, const TreeNodeKey& node,
                          std::size_t rowsPerRead) {
    OverlapList list;
    const std::optional<std::string> scope = tvwBuilder::NodeCondition(ctx, byItem, node);
    if (!scope)
        return list;
    AppConnection& db = ctx.Connection();
    const tvwBuilder::RightsContext rights = tvwBuilder::ReadRights(ctx);

    std::vector<OverlapRow> found;
    std::vector<PriceSpan> spans;
    ReadPosition at(std::max<std::size_t>(rowsPerRead, 1));
    while (!at.Done()) {
        RecordsetPtr rs =
            db.Execute(CheckOverlapsSql(byItem, *scope + at.Condition(), rights, at.Top()));
        const std::size_t count = rs ? static_cast<std::size_t>(rs->RecordCount()) : 0;
        const std::size_t keep = at.Keep(
            count, [&](std::size_t r) { return Id(rs->Cell(static_cast<long>(r), kItemID)); },
            [&](std::size_t r) { return Id(rs->Cell(static_cast<long>(r), kCustID)); });
        spans.resize(keep);
        for (std::size_t i = 0; i < keep; ++i) {
            const long r = static_cast<long>(i);
            PriceSpan& s = spans[i];
            s.entryID = Id(rs->Cell(r, kEntryID));
            s.custID = Id(rs->Cell(r, kCustID));
            s.itemID = Id(rs->Cell(r, kItemID));
            s.unitID = Id(rs->Cell(r, kUnitID));
            s.currencyID = Id(rs->Cell(r, kCyID));
            s.startQty = Number(rs->Cell(r, kStartQty));
            s.endQty = Number(rs->Cell(r, kEndQty));
            s.quoteTime = rs->Cell(r, kQuoteTime).ToDate();
            s.expireDate = rs->Cell(r, kExpireDate).ToDate();
        }
        for (auto [a, b] : OverlappingPairs(spans)) {
            const PriceSpan& s = spans[a];
            OverlapRow& row = found.emplace_back();
            row.custID = s.custID;
            row.itemID = s.itemID;
            row.unitID = s.unitID;
            row.currencyID = s.currencyID;
            row.first = Side(*rs, spans[a], static_cast<long>(a));
            row.second = Side(*rs, spans[b], static_cast<long>(b));
        }
    }

    // In order of customer, item, unit, currency and dates: the keys sorted
    // beside their rows' positions, then each row moved once.
    struct SortKey {
        std::array<std::int32_t, 8> key;
        std::uint32_t row;
    };
    auto day = [](const Date& d) { return (d.year * 16 + d.month) * 32 + d.day; };
    std::vector<SortKey> order(found.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        const OverlapRow& r = found[i];
        order[i] = {{r.custID, r.itemID, r.unitID, r.currencyID, day(r.first.quoteTime),
                     r.first.entryID, day(r.second.quoteTime), r.second.entryID},
                    i};
    }
    std::sort(order.begin(), order.end(),
              [](const SortKey& x, const SortKey& y) { return x.key < y.key; });

    std::vector<std::int32_t> custIDs, itemIDs, unitIDs, currencyIDs;
    auto note = [](std::vector<std::int32_t>& ids, std::int32_t id) {
        if (ids.empty() || ids.back() != id)
            ids.push_back(id);
    };
    list.rows.reserve(found.size());
    for (const SortKey& k : order) {
        const OverlapRow& row = list.rows.emplace_back(std::move(found[k.row]));
        note(custIDs, row.custID);
        note(itemIDs, row.itemID);
        note(unitIDs, row.unitID);
        note(currencyIDs, row.currencyID);
    }
    const std::string number = ctx.g_UseShortNumber ? "FShortNumber" : "FNumber";
    list.customers = NamesOf(
        db, "SELECT FItemID," + number + ",FName FROM t_Organization WHERE FItemID IN (", custIDs);
    list.items = NamesOf(db, "SELECT FItemID," + number + ",FName FROM t_ICItem WHERE FItemID IN (",
                         itemIDs);
    list.units =
        NamesOf(db, "SELECT FItemID,FNumber,FName FROM t_MeasureUnit WHERE FItemID IN (", unitIDs);
    list.currencies = NamesOf(
        db, "SELECT FCurrencyID,FNumber,FName FROM t_Currency WHERE FCurrencyID IN (", currencyIDs);
    return list;
}

const RecordName& OverlapList::Of(const std::unordered_map<std::int32_t, RecordName>& names,
                                  std::int32_t id) {
    static const RecordName none;
    auto it = names.find(id);
    return it == names.end() ? none : it->second;
}

}  // namespace orva
