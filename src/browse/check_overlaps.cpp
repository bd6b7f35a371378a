#include "browse/check_overlaps.h"

#include <algorithm>
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

// Characters of a UTF-8 text, as LEFT and LEN count them.
std::size_t CharCount(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

std::int32_t Id(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

double Number(const Variant& v) {
    return v.IsNull() ? 0 : v.ToDouble();
}

// The scope condition of a tree node; nothing when the node names no group
// the company holds.
std::optional<std::string> ScopeCondition(ModuleContext& ctx, bool byItem,
                                          const TreeNodeKey& node) {
    const char* member = byItem ? "t1" : "v1";
    switch (node.kind) {
        case TreeNodeKey::kRoot:
            return std::string();
        case TreeNodeKey::kLeaf:
            return std::string(byItem ? "AND u1.FItemID=" : "AND u1.FCustID=") + SqlId(node.id) +
                   " ";
        case TreeNodeKey::kGroup:
            break;
    }
    // Members of a group carry its full code followed by ".".
    RecordsetPtr group =
        ctx.Connection().Execute("SELECT FNumber FROM t_Item WHERE FItemID=" + SqlId(node.id));
    if (!group || group->EOF_())
        return std::nullopt;
    const std::string prefix = group->Fields(0).Value().ToText() + ".";
    return std::string("AND LEFT(") + member + ".FNumber," + std::to_string(CharCount(prefix)) +
           ")=" + SqlText(prefix) + " ";
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
                             const tvwBuilder::RightsContext& rights) {
    std::string sql =
        "SELECT u1.FEntryID,u1.FCustID,u1.FItemID,u1.FUnitID,u1.FCyID,u1.FStartQty,u1.FEndQty,"
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

OverlapList CheckOverlaps(ModuleContext& ctx, bool byItem, const TreeNodeKey& node) {
    OverlapList list;
    const std::optional<std::string> scope = ScopeCondition(ctx, byItem, node);
    if (!scope)
        return list;
    AppConnection& db = ctx.Connection();
    RecordsetPtr rs = db.Execute(CheckOverlapsSql(byItem, *scope, tvwBuilder::ReadRights(ctx)));
    if (!rs)
        return list;

    const long count = rs->RecordCount();
    std::vector<PriceSpan> spans(static_cast<std::size_t>(count));
    for (long r = 0; r < count; ++r) {
        PriceSpan& s = spans[static_cast<std::size_t>(r)];
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

    std::vector<std::pair<std::size_t, std::size_t>> pairs = OverlappingPairs(spans);
    auto key = [&](const std::pair<std::size_t, std::size_t>& p) {
        const PriceSpan& a = spans[p.first];
        const PriceSpan& b = spans[p.second];
        return std::tie(a.custID, a.itemID, a.unitID, a.currencyID, *a.quoteTime, a.entryID,
                        *b.quoteTime, b.entryID);
    };
    std::sort(pairs.begin(), pairs.end(), [&](auto& x, auto& y) { return key(x) < key(y); });

    std::set<std::int32_t> custIDs, itemIDs, unitIDs, currencyIDs;
    for (auto [a, b] : pairs) {
        custIDs.insert(spans[a].custID);
        itemIDs.insert(spans[a].itemID);
        unitIDs.insert(spans[a].unitID);
        currencyIDs.insert(spans[a].currencyID);
    }
    const std::string number = ctx.g_UseShortNumber ? "FShortNumber" : "FNumber";
    list.customers = ReadNames(
        db, "SELECT FItemID," + number + ",FName FROM t_Organization WHERE FItemID IN (", custIDs);
    list.items = ReadNames(
        db, "SELECT FItemID," + number + ",FName FROM t_ICItem WHERE FItemID IN (", itemIDs);
    list.units = ReadNames(db, "SELECT FItemID,FNumber,FName FROM t_MeasureUnit WHERE FItemID IN (",
                           unitIDs);
    list.currencies = ReadNames(
        db, "SELECT FCurrencyID,FNumber,FName FROM t_Currency WHERE FCurrencyID IN (", currencyIDs);

    list.rows.reserve(pairs.size());
    for (auto [a, b] : pairs) {
        const PriceSpan& s = spans[a];
        OverlapRow row;
        row.custID = s.custID;
        row.itemID = s.itemID;
        row.unitID = s.unitID;
        row.currencyID = s.currencyID;
        row.first = Side(*rs, spans[a], static_cast<long>(a));
        row.second = Side(*rs, spans[b], static_cast<long>(b));
        list.rows.push_back(row);
    }
    return list;
}

const RecordName& OverlapList::Of(const std::unordered_map<std::int32_t, RecordName>& names,
                                  std::int32_t id) {
    static const RecordName none;
    auto it = names.find(id);
    return it == names.end() ? none : it->second;
}

}  // namespace orva
