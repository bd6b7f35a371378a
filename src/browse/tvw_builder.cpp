#include "browse/tvw_builder.h"

#include <charconv>
#include <exception>
#include <initializer_list>

#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/controls/tree.h"
#include "host/progress.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {

namespace {

const std::string kCrLfText(kCrLf);

// The three minimum-price columns of both ledger statements: the item-level
// floor price replaces the customer-and-item one when the item's
// price-fixing type is not 0.
const std::string kMinPriceLines =
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FCurrencyID ELSE "
    "t1.FSoLowPrcMnyType End) as FSELCyID," +
    kCrLfText +
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u3.FName ELSE u4.FName End) AS "
    "FSELCyName," +
    kCrLfText +
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FSELowPrice ELSE t1.FSoLowPrc "
    "End) as FSELowPrice," +
    kCrLfText;

const std::string kAuditAndNoteColumns =
    "u1.FQuoteTime,(CASE u1.Fused WHEN 1 THEN 'Y' ELSE ' ' END ) AS Fused" + kCrLfText +
    ",u1.FNote,u1.FExpireDate";

// Puts `table` in place of the FROM clause's `named` ("t_Cust u2"), keeping
// the alias; the default tables leave the statement as it was.
void ReplaceTable(std::string& from, const std::string& named, const std::string& table,
                  const std::string& alias) {
    if (named.compare(0, table.size() + 1, table + " ") == 0)
        return;
    if (const std::size_t at = from.find(named); at != std::string::npos)
        from.replace(at, named.size(), table + alias);
}

// The lines of a statement, each ended by CR LF as the module writes them.
std::string CrLfLines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += kCrLfText;
    }
    return text;
}

// A leaf id as the statement writes it: the decimal number, or NULL (which
// equals nothing) when the text is not one, so that a bad key lists no rows
// instead of reaching the database as statement text.
std::string LeafIdText(std::string_view id) {
    while (!id.empty() && id.front() == ' ') id.remove_prefix(1);
    while (!id.empty() && id.back() == ' ') id.remove_suffix(1);
    std::int32_t value = 0;
    const char* end = id.data() + id.size();
    auto [ptr, ec] = std::from_chars(id.data(), end, value);
    if (id.empty() || ec != std::errc() || ptr != end)
        return "NULL";
    return SqlId(value);
}

// "C001(Alpha Trading)": the node text of a group or leaf row.
std::string NodeText(const Variant& number, const Variant& name) {
    std::string text = number.ToText();
    text += '(';
    text += name.ToText();
    text += ')';
    return text;
}

}  // namespace

std::optional<TreeNodeKey> ParseTreeNodeKey(std::string_view key) {
    if (key.size() < 3 || key[0] != 'g')
        return std::nullopt;
    TreeNodeKey parsed;
    switch (key[1]) {
        case 'c':
            parsed.kind = TreeNodeKey::kRoot;
            break;
        case 'i':
            parsed.kind = TreeNodeKey::kGroup;
            break;
        case 'b':
            parsed.kind = TreeNodeKey::kLeaf;
            break;
        default:
            return std::nullopt;
    }
    std::string_view digits = key.substr(2);
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed.id);
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        return std::nullopt;
    return parsed;
}

tvwBuilder::RightsContext tvwBuilder::ReadRights(ModuleContext& ctx) {
    // Read anew for every statement, so that a change of the user's rights
    // reaches the next ledger without a rebuild of the tree. Anything that cannot be read counts
    // against the user: filtered, with user 0, who holds no rights.
    RightsContext rights;
    if (!PassOver([&] { rights.userID = GetCurUserID(ctx); }))
        return rights;
    rights.filtered = PassOver([&] { return DataRightsApply(ctx); }, true);
    if (!rights.filtered)
        return rights;
    PassOver([&] { rights.groupLevelCustomers = HasItemClassRight(ctx, kItemClassCustomer); });
    PassOver([&] { rights.groupLevelItems = HasItemClassRight(ctx, kItemClassItem); });
    return rights;
}

RightsFilter tvwBuilder::TreeRights(bool byItem, const RightsContext& r) {
    return byItem ? TreeItemFilter(r.userID, r.groupLevelItems)
                  : TreeCustomerFilter(r.userID, r.groupLevelCustomers);
}

void tvwBuilder::AddTreeRights(std::string& from, std::string& where) const {
    const RightsContext r = ReadRights(ctx_);
    if (!r.filtered)
        return;
    RightsFilter f = TreeRights(categoryByItem_, r);
    from += f.from;
    where += f.where;
}

std::string tvwBuilder::GroupListSql() {
    std::string select = "SELECT Distinct t1.FItemID,t1.FName,";
    select += ctx_.g_UseShortNumber ? "t1.FShortNumber AS FNumber" : "t1.FNumber";
    select += ",t1.FParentID,t1.FDetail ";
    std::string from = " FROM t_Item t1 ";
    std::string where = categoryByItem_ ? " WHERE t1.FItemClassID=4 AND t1.FDetail=0 "
                                        : " WHERE t1.FItemClassID=1 AND t1.FDetail=0 ";
    std::string order = " ORDER BY ";
    order += ctx_.g_UseShortNumber ? " t1.FShortNumber" : "t1.FNumber";
    AddTreeRights(from, where);
    return select + from + where + order;
}

std::string tvwBuilder::LeafListSql() {
    return LeafListSql(std::nullopt);
}

std::string tvwBuilder::LeafListSql(std::optional<std::int32_t> parentID) {
    const char* number = ctx_.g_UseShortNumber ? "t1.FShortNumber AS FNumber" : "t1.FNumber";
    std::string select, from, where;
    if (categoryByItem_) {
        select = std::string(" SELECT Distinct t1.FItemID,t1.FName,") + number +
                 ",t1.FParentID,1 as FDetail " + kCrLfText;
        from = "FROM t_ICItem t1 " + kCrLfText;
        where = "WHERE t1.FErpClsid not in (6,8) ";
    } else {
        select = std::string(" SELECT t1.FItemID,t1.FName,") + number +
                 ",t1.FParentID,1 as FDetail " + kCrLfText;
        from = "FROM t_Organization t1 " + kCrLfText;
        where = "WHERE 1=1";
    }
    if (parentID) {
        // The children of one node: the same rows the whole list holds under
        // that parent, in the same order. The rights parts below begin with
        // their own "AND".
        where += " AND t1.FParentID=" + SqlId(*parentID) + " ";
    }
    std::string order = " ORDER BY ";
    order += ctx_.g_UseShortNumber ? "t1.FShortNumber" : "t1.FNumber";
    AddTreeRights(from, where);
    return select + from + where + order;
}

std::string tvwBuilder::GetDetailSql(std::string_view ID) {
    const RightsContext r = ReadRights(ctx_);
    return DetailSql(categoryByItem_, ctx_.g_UseShortNumber, ctx_.g_CallByBill, LeafIdText(ID), r);
}

std::string tvwBuilder::DetailSql(bool byItem, bool shortNumber, bool callByBill,
                                  const std::string& leaf, const RightsContext& r,
                                  const LedgerTables& tables) {
    std::string select, order;
    if (byItem) {
        select = "SELECT Distinct u1.FItemID,u1.FCustID,u1.FEntryID,v1.FName," + kCrLfText +
                 (shortNumber ? "v1.FShortNumber as FNumber ," : "v1.FNumber,") + kCrLfText +
                 "t2.FName AS FUnitName," + kCrLfText + "u1.FStartQty,u1.FEndQty,u1.FPrice," +
                 kCrLfText + "t3.FName AS FCyName," + kCrLfText + "u1.FDiscount,u1.FLeadTime," +
                 kCrLfText + kMinPriceLines + kAuditAndNoteColumns;
        // The select is DISTINCT and, with short codes, does not hold the full
        // code, so the database would refuse ordering by it: the ledger is
        // then ordered by the short code it shows.
        order = shortNumber ? " ORDER BY v1.FShortNumber" : " ORDER BY v1.FNumber";
    } else {
        select = "SELECT Distinct u1.FCustID,u1.FItemID,u1.FEntryID,t1.FName," + kCrLfText +
                 (shortNumber ? "t1.FShortNumber as FNumber," : "t1.FNumber,") + kCrLfText +
                 "t1.FModel,t2.FName AS FUnitName,u1.FStartQty,u1.FEndQty,u1.FPrice," + kCrLfText +
                 "t3.FName AS FCyName,u1.FDiscount,u1.FLeadTime," + kCrLfText + kMinPriceLines +
                 kAuditAndNoteColumns;
        // As above: with short codes the ledger is ordered by the short code.
        order = shortNumber ? " ORDER BY t1.FShortNumber" : " ORDER BY t1.FNumber";
    }
    return select + LedgerFromWhere(byItem, callByBill, leaf, r, tables) + order;
}

std::string tvwBuilder::LedgerFromWhere(bool byItem, bool callByBill, const std::string& leaf,
                                        const RightsContext& r, const LedgerTables& tables) {
    std::string from, where;
    if (byItem) {
        from = CrLfLines(
            {" FROM t_CustEntry  u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID",
             " INNER JOIN t_ICItem t1 ON u1.FItemID=t1.FItemID",
             " INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID",
             " INNER JOIN t_MeasureUnit t2 ON t2.FItemID=u1.FUnitID",
             " INNER JOIN t_Currency t3 ON t3.FCurrencyID=u1.FCyID",
             " INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID",
             " left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID"});
        where = " WHERE u1.FItemID=" + leaf + kCrLfText;
    } else {
        from = CrLfLines(
            {" FROM t_CustEntry u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID",
             "    INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID",
             "    INNER JOIN t_ICItem t1 ON u2.FItemID=t1.FItemID",
             "    INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID",
             "    INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID",
             "    INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID",
             " left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID"});
        where = " WHERE t1.FErpClsID not in (6,8) and u1.FCustID=" + leaf + kCrLfText;
    }
    ReplaceTable(from, byItem ? "t_CustEntry  u1" : "t_CustEntry u1", tables.entries, " u1");
    ReplaceTable(from, "t_Cust u2", tables.headers, " u2");

    if (callByBill) {
        // Only audited prices in force today; dates are held as yyyy-mm-dd.
        std::string today = Date::Today().ToText();
        where +=
            "AND u1.Fused=1 AND u1.FQuoteTime<='" + today + "' AND u1.FExpireDate>'" + today + "'";
    }

    if (r.filtered) {
        for (const RightsFilter& f :
             {TreeItemFilter(r.userID, r.groupLevelItems),
              TreeCustomerFilter(r.userID, r.groupLevelCustomers, "v1"),
              LedgerPriceCurrencyFilter(r.userID), LedgerMinPriceCurrencyFilter(r.userID)}) {
            from += f.from;
            where += f.where;
        }
    }
    return from + where;
}

std::optional<std::string> tvwBuilder::NodeCondition(ModuleContext& ctx, bool byItem,
                                                     const TreeNodeKey& node) {
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
    // LEFT counts characters, not bytes.
    std::size_t chars = 0;
    for (unsigned char c : prefix) chars += (c & 0xC0) != 0x80;
    return std::string("AND LEFT(") + (byItem ? "t1" : "v1") + ".FNumber," + std::to_string(chars) +
           ")=" + SqlText(prefix) + " ";
}

void tvwBuilder::SetTreeView(std::int32_t parentID) {
    if (!tvwGroup_)
        return;
    if (parentID == -1)
        Rebuild();
    else if (parentID >= 0)
        Expand(parentID);
}

void tvwBuilder::Rebuild() {
    Tree& tree = *tvwGroup_;
    if (tree.Count() > 0)
        tree.Clear();

    // A failing statement keeps the list of the previous rebuild.
    PassOver([&] { groups_ = ctx_.Connection().Execute(GroupListSql()); });
    // The leaves are read per node when it is expanded: a launch shows the
    // root level and the path to one preselected leaf, and reading every
    // customer of a large company for that took a third of the launch.
    leaves_.reset();

    PassOver([&] {
        NodeId root =
            tree.Add("", kRootKey, categoryByItem_ ? GetResText("物料") : GetResText("客户"),
                     kImageGroup, kImageGroupOpen);
        tree.SetTag(root, "1");
        tree.AddUnder(root, "", "");
    });
}

void tvwBuilder::Expand(std::int32_t parentID) {
    Tree& tree = *tvwGroup_;
    NodeId node = tree.Find(parentID == 0 ? std::string(kRootKey) : "gi" + SqlId(parentID));
    if (node == kNoNode || tree.ChildCount(node) != 1)
        return;
    NodeId only = tree.FirstChild(node);
    if (!tree.Node(only).key.empty())
        return;  // expanded before
    tree.Remove(only);

    if (groups_)
        AddNodes(*groups_, parentID, true);
    // A failing statement adds no leaves and keeps the last list.
    if (!PassOver([&] { leaves_ = ctx_.Connection().Execute(LeafListSql(parentID)); }))
        return;
    if (leaves_)
        AddNodes(*leaves_, parentID, false);
}

void tvwBuilder::AddNodes(Recordset& list, std::int32_t parentID, bool groups) {
    Tree& tree = *tvwGroup_;
    if (!PassOver([&] { list.Filter("FParentID=" + SqlId(parentID)); }))
        return;
    const int colID = list.ColumnIndex("FItemID");
    const int colName = list.ColumnIndex("FName");
    const int colNumber = list.ColumnIndex("FNumber");
    const int colParent = list.ColumnIndex("FParentID");
    const int colDetail = list.ColumnIndex("FDetail");
    if (colID < 0 || colName < 0 || colNumber < 0 || colParent < 0 || colDetail < 0)
        return;

    const std::string prefix = groups ? "gi" : "gb";
    const long count = list.RecordCount();
    // A group of many thousands of members takes a while: the user sees the
    // nodes being added (the tree cannot be left half built, so there is no
    // Cancel). Reported every kNodesPerStep nodes.
    constexpr long kNodesPerStep = 256;
    ProgressScope progress(categoryByItem_ ? GetResText("物料") : GetResText("客户"), count, "",
                           false);
    std::string key, parentKey;
    for (long row = 0; row < count; ++row) {
        // A node that cannot be added (a key met twice, a parent that is
        // not in the tree, a value that is no number) is skipped.
        PassOver([&] {
            if (row % kNodesPerStep == 0 && progress.Watched()) {
                progress.Step(row, progress.TextWanted() ? NodeText(list.Cell(row, colNumber),
                                                                    list.Cell(row, colName))
                                                         : std::string());
            }
            std::int64_t rowParent = list.Cell(row, colParent).ToInteger();
            bool detail = !list.Cell(row, colDetail).IsNull() && list.Cell(row, colDetail).ToBool();
            // Groups go under the root when their parent is 0 and they are no
            // record; leaves whenever the parent is 0.
            if (rowParent == 0 && (!groups || !detail))
                parentKey = kRootKey;
            else
                parentKey = "gi" + SqlId(rowParent);
            key = prefix + list.Cell(row, colID).ToText();
            std::string text = NodeText(list.Cell(row, colNumber), list.Cell(row, colName));
            if (groups) {
                NodeId added = tree.Add(parentKey, key, text, kImageGroup, kImageGroupOpen);
                tree.AddUnder(added, "", "");
            } else {
                tree.Add(parentKey, key, text, kImageLeaf, 0);
            }
        });
    }
}

}  // namespace orva
