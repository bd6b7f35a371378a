#include "browse/check_overlaps.h"

#include <optional>
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
    kCustNumber,
    kCustName,
    kItemNumber,
    kItemName,
    kUnitName,
    kCyName,
};

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

OverlapSide Side(const Recordset& rs, long row) {
    OverlapSide side;
    side.entryID = Id(rs.Cell(row, kEntryID));
    side.startQty = Number(rs.Cell(row, kStartQty));
    side.endQty = Number(rs.Cell(row, kEndQty));
    side.price = Number(rs.Cell(row, kPrice));
    if (auto d = rs.Cell(row, kQuoteTime).ToDate())
        side.quoteTime = d->ToText();
    if (auto d = rs.Cell(row, kExpireDate).ToDate())
        side.expireDate = d->ToText();
    side.audited = Number(rs.Cell(row, kUsed)) == 1;
    return side;
}

}  // namespace

std::string CheckOverlapsSql(bool byItem, bool shortNumber, const std::string& scope,
                             const tvwBuilder::RightsContext& rights) {
    const char* number = shortNumber ? "FShortNumber" : "FNumber";
    std::string sql =
        "SELECT u1.FEntryID,u1.FCustID,u1.FItemID,u1.FUnitID,u1.FCyID,u1.FStartQty,u1.FEndQty,"
        "u1.FQuoteTime,u1.FExpireDate,u1.FPrice,u1.FUsed,";
    sql += std::string("v1.") + number + ",v1.FName,t1." + number + ",t1.FName,t2.FName,t3.FName";
    // The ledger's joins and rights, for every leaf at once: the leaf column
    // compared with itself.
    sql += tvwBuilder::LedgerFromWhere(byItem, false, byItem ? "u1.FItemID" : "u1.FCustID", rights);
    sql += scope;
    // Entry last: the rights joins may repeat a row, and repeats then follow
    // each other.
    sql += " ORDER BY u1.FCustID,u1.FItemID,u1.FUnitID,u1.FCyID,u1.FQuoteTime,u1.FEntryID";
    return sql;
}

std::vector<OverlapRow> CheckOverlaps(ModuleContext& ctx, bool byItem, const TreeNodeKey& node) {
    std::vector<OverlapRow> rows;
    const std::optional<std::string> scope = ScopeCondition(ctx, byItem, node);
    if (!scope)
        return rows;
    RecordsetPtr rs = ctx.Connection().Execute(
        CheckOverlapsSql(byItem, ctx.g_UseShortNumber, *scope, tvwBuilder::ReadRights(ctx)));
    if (!rs)
        return rows;

    std::vector<PriceSpan> spans;
    std::vector<long> rowOf;  // the record set's row of each span
    const long count = rs->RecordCount();
    spans.reserve(static_cast<std::size_t>(count));
    rowOf.reserve(static_cast<std::size_t>(count));
    for (long r = 0; r < count; ++r) {
        PriceSpan s;
        s.entryID = Id(rs->Cell(r, kEntryID));
        if (!spans.empty() && spans.back().entryID == s.entryID)
            continue;  // the same entry again
        s.custID = Id(rs->Cell(r, kCustID));
        s.itemID = Id(rs->Cell(r, kItemID));
        s.unitID = Id(rs->Cell(r, kUnitID));
        s.currencyID = Id(rs->Cell(r, kCyID));
        s.startQty = Number(rs->Cell(r, kStartQty));
        s.endQty = Number(rs->Cell(r, kEndQty));
        s.quoteTime = rs->Cell(r, kQuoteTime).ToDate();
        s.expireDate = rs->Cell(r, kExpireDate).ToDate();
        spans.push_back(s);
        rowOf.push_back(r);
    }

    for (auto [a, b] : OverlappingPairs(spans)) {
        // The pair in order of effective date (the sweep names them so
        // within a key only when the statement's order was the dates').
        if (*spans[b].quoteTime < *spans[a].quoteTime)
            std::swap(a, b);
        const Recordset& set = *rs;
        const long r = rowOf[a];
        OverlapRow row;
        row.custID = spans[a].custID;
        row.itemID = spans[a].itemID;
        row.unitID = spans[a].unitID;
        row.currencyID = spans[a].currencyID;
        row.custNumber = set.Cell(r, kCustNumber).ToText();
        row.custName = set.Cell(r, kCustName).ToText();
        row.itemNumber = set.Cell(r, kItemNumber).ToText();
        row.itemName = set.Cell(r, kItemName).ToText();
        row.unitName = set.Cell(r, kUnitName).ToText();
        row.currencyName = set.Cell(r, kCyName).ToText();
        row.first = Side(set, r);
        row.second = Side(set, rowOf[b]);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace orva
