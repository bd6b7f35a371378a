#include "browse/find_search_all.h"

#include "browse/tvw_builder.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/find/find_component.h"
#include "host/find/text_fold.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {
namespace {

const std::string kCrLfText(kCrLf);

// '!' is the escape character of every LIKE pattern the search writes: the
// characters LIKE gives a meaning ('%', '_', '[') and '!' itself match only
// themselves.
std::string LikeLiteral(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '!' || c == '%' || c == '_' || c == '[')
            out += '!';
        out += c;
    }
    return out;
}

std::string Like(const std::string& expr, const std::string& pattern, bool negated = false) {
    return expr + (negated ? " NOT LIKE " : " LIKE ") + SqlText(pattern) + " ESCAPE '!'";
}

// The alias of the customer or item searched in the leaf statement (the
// partial pick) and in the candidate statement, whose price entries are
// read under the ledger statement's own aliases.
constexpr const char* kPickAlias = "t1";
constexpr const char* kCandidateAlias = "w1";

std::string ColumnExpr(std::string_view column, bool shortNumber, std::string_view leaf) {
    const std::string l(leaf);
    if (EqualsNoCase(column, "FNumber"))
        return l + (shortNumber ? ".FShortNumber" : ".FNumber");
    if (EqualsNoCase(column, "FName"))
        return l + ".FName";
    if (EqualsNoCase(column, "FModel"))
        return l + ".FModel";
    if (EqualsNoCase(column, "FUnitName"))
        return "t2.FName";
    if (EqualsNoCase(column, "FCyName"))
        return "t3.FName";
    for (const char* entry : {"FPrice", "FQuoteTime", "FExpireDate", "FNote", "FUsed"}) {
        if (EqualsNoCase(column, entry))
            return std::string("u1.") + entry;
    }
    throw ComError(ComError::kGeneric,
                   "The field " + std::string(column) + " cannot be searched in all data.");
}

std::string Joined(const std::vector<std::string>& parts, const char* op) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty())
            out += op;
        out += "(" + p + ")";
    }
    return out;
}

struct Parts {
    std::string leaf;     // conditions on the customer or item itself
    std::string entries;  // conditions on its price entries
};

Parts SplitCriteria(const SearchAllRequest& r, std::string_view leafAlias) {
    std::vector<std::string> leaf, entries;
    for (const CheckedCriterion& c : r.criteria->rows) {
        (IsLeafColumn(c.column) ? leaf : entries)
            .push_back(BrowseSearchAll::Condition(c, r.shortNumber, leafAlias));
    }
    const char* op = r.criteria->join == FindJoin::kAny ? " OR " : " AND ";
    return {Joined(leaf, op), Joined(entries, op)};
}

// The user the request names, with the rights for it as the session has
// them: the statements of search all list what the tree and the ledger
// would show that user.
tvwBuilder::RightsContext RightsOf(const SearchAllRequest& r) {
    tvwBuilder::RightsContext rights;
    rights.userID = r.userID;
    rights.filtered = r.checkRights;
    if (rights.filtered) {
        rights.groupLevelCustomers =
            HasItemClassRight(ModuleContext::InForce(), kItemClassCustomer);
        rights.groupLevelItems = HasItemClassRight(ModuleContext::InForce(), kItemClassItem);
    }
    return rights;
}

// The candidate w1 has a row in its ledger, as the ledger would show it to
// the user (the other party, the currencies, the sales bill's filter), that
// meets `condition`.
std::string LedgerRowExists(const SearchAllRequest& r, const std::string& condition) {
    std::string s =
        "EXISTS (SELECT 1" +
        tvwBuilder::LedgerFromWhere(r.itemTree, ModuleContext::InForce().g_CallByBill,
                                    std::string(kCandidateAlias) + ".FItemID", RightsOf(r));
    if (!condition.empty())
        s += " AND (" + condition + ")";
    return s + ")";
}

// The leaf table of the tree under `alias`: "SELECT [TOP n ]a.FItemID,a.FNumber
// FROM ... a WHERE ..." without planning and feature items, then `more` (its
// own joins and conditions), then `condition`, ORDER BY the code.
std::string LeafSelect(const SearchAllRequest& r, const std::string& alias, const std::string& top,
                       const RightsFilter& more, const std::string& condition) {
    const std::string code = alias + (r.shortNumber ? ".FShortNumber" : ".FNumber");
    std::string select = "SELECT Distinct " + top + alias + ".FItemID," +
                         (r.shortNumber ? code + " AS FNumber" : code) + " ";
    std::string from = (r.itemTree ? "FROM t_ICItem " : "FROM t_Organization ") + alias + " " +
                       kCrLfText + more.from;
    std::string where =
        r.itemTree ? "WHERE " + alias + ".FErpClsid not in (6,8) " : std::string("WHERE 1=1");
    where += more.where + " AND (" + condition + ")" + kCrLfText;
    return select + from + where + " ORDER BY " + code;
}

std::vector<std::int32_t> Ids(const RecordsetPtr& rs) {
    std::vector<std::int32_t> ids;
    const int col = rs->ColumnIndex("FItemID");
    const long n = rs->RecordCount();
    ids.reserve(static_cast<std::size_t>(n));
    for (long i = 0; i < n; ++i)
        ids.push_back(static_cast<std::int32_t>(rs->Cell(i, col).ToInteger()));
    return ids;
}

}  // namespace

std::string BrowseSearchAll::Condition(const CheckedCriterion& c, bool shortNumber,
                                       std::string_view leafAlias) {
    const std::string e = ColumnExpr(c.column, shortNumber, leafAlias);
    switch (c.kind) {
        case FindValueKind::kText: {
            const std::string v = LikeLiteral(c.typed);
            const std::string whole = "LTRIM(RTRIM(ISNULL(" + e + ",'')))";
            switch (c.op) {
                case FindOp::kContains:
                    return Like("ISNULL(" + e + ",'')", "%" + v + "%");
                case FindOp::kNotContains:
                    return Like("ISNULL(" + e + ",'')", "%" + v + "%", true);
                case FindOp::kEquals:
                    return Like(whole, v);
                case FindOp::kNotEqual:
                    return Like(whole, v, true);
                case FindOp::kBeginsWith:
                    return Like(whole, v + "%");
                case FindOp::kEndsWith:
                    return Like(whole, "%" + v);
                case FindOp::kEmpty:
                    return whole + "=''";
                case FindOp::kNotEmpty:
                    return whole + "<>''";
                default:
                    break;
            }
            break;
        }
        case FindValueKind::kNumber: {
            const std::string a = SqlNumber(c.number1), b = SqlNumber(c.number2);
            switch (c.op) {
                case FindOp::kEquals:
                    return e + "=" + a;
                case FindOp::kNotEqual:
                    return e + "<>" + a;
                case FindOp::kLess:
                    return e + "<" + a;
                case FindOp::kLessEqual:
                    return e + "<=" + a;
                case FindOp::kGreater:
                    return e + ">" + a;
                case FindOp::kGreaterEqual:
                    return e + ">=" + a;
                case FindOp::kBetween:
                    return e + ">=" + a + " AND " + e + "<=" + b;
                default:
                    break;
            }
            break;
        }
        case FindValueKind::kDate: {
            // A stored date may carry a time of day: a day is [d, d + 1).
            const std::string a = SqlDate(c.date1), a1 = SqlDate(AddDays(c.date1, 1));
            const std::string b1 = SqlDate(AddDays(c.date2, 1));
            switch (c.op) {
                case FindOp::kEquals:
                    return e + ">=" + a + " AND " + e + "<" + a1;
                case FindOp::kNotEqual:
                    return e + "<" + a + " OR " + e + ">=" + a1;
                case FindOp::kLess:
                    return e + "<" + a;
                case FindOp::kLessEqual:
                    return e + "<" + a1;
                case FindOp::kGreater:
                    return e + ">=" + a1;
                case FindOp::kGreaterEqual:
                    return e + ">=" + a;
                case FindOp::kBetween:
                    return e + ">=" + a + " AND " + e + "<" + b1;
                default:
                    break;
            }
            break;
        }
        case FindValueKind::kChoice:
            return "ISNULL(" + e + ",0)" + (c.choiceSet ? "=1" : "<>1");
    }
    throw ComError(ComError::kGeneric, "The condition on " + c.column + " cannot be searched.");
}

std::string BrowseSearchAll::MatchingLeavesSql(const SearchAllRequest& r) {
    const Parts parts = SplitCriteria(r, kCandidateAlias);
    std::string condition;
    if (parts.leaf.empty()) {
        condition = LedgerRowExists(r, parts.entries);
    } else if (parts.entries.empty()) {
        condition = "(" + parts.leaf + ") AND " + LedgerRowExists(r, "");
    } else if (r.criteria->join == FindJoin::kAll) {
        condition = "(" + parts.leaf + ") AND " + LedgerRowExists(r, parts.entries);
    } else {
        // Any of: every entry of a customer or item whose own fields match
        // matches, so it is found when its ledger shows any entry.
        condition = "((" + parts.leaf + ") AND " + LedgerRowExists(r, "") + ") OR " +
                    LedgerRowExists(r, parts.entries);
    }
    // The ledger statement holds the rights on the candidate itself.
    return LeafSelect(r, kCandidateAlias, "", {}, condition);
}

std::vector<std::int32_t> BrowseSearchAll::MatchingLeaves(const SearchAllRequest& request) {
    return Ids(ModuleContext::InForce().Connection().Execute(MatchingLeavesSql(request)));
}

std::optional<std::int32_t> BrowseSearchAll::LeafMatchingOwnFields(
    const SearchAllRequest& request) {
    const Parts parts = SplitCriteria(request, kPickAlias);
    if (parts.leaf.empty())
        return std::nullopt;
    const tvwBuilder::RightsContext rights = RightsOf(request);
    const RightsFilter treeRights =
        rights.filtered ? tvwBuilder::TreeRights(request.itemTree, rights) : RightsFilter{};
    std::vector<std::int32_t> ids = Ids(ModuleContext::InForce().Connection().Execute(
        LeafSelect(request, kPickAlias, "TOP 1 ", treeRights, parts.leaf)));
    if (ids.empty())
        return std::nullopt;
    return ids.front();
}

RecordsetPtr BrowseSearchAll::LeafLedger(bool itemTree, std::int32_t id) {
    tvwBuilder builder(ModuleContext::InForce());
    builder.SetCategoryByItem(itemTree);
    return ModuleContext::InForce().Connection().Execute(builder.GetDetailSql(SqlId(id)));
}

RecordsetPtr BrowseSearchAll::LeafRecord(const SearchAllRequest& request, std::int32_t id) {
    std::string sql = "SELECT t1.FItemID,";
    sql += request.shortNumber ? "t1.FShortNumber AS FNumber" : "t1.FNumber";
    sql += ",t1.FName";
    sql += request.itemTree ? ",t1.FModel FROM t_ICItem t1" : " FROM t_Organization t1";
    return ModuleContext::InForce().Connection().Execute(sql + " WHERE t1.FItemID=" + SqlId(id));
}

std::vector<std::int32_t> BrowseSearchAll::GroupPath(std::int32_t id) {
    std::vector<std::int32_t> path;
    std::int32_t current = id;
    // Group trees are a few levels deep; the bound stops a cycle in bad data.
    for (int depth = 0; depth < 64; ++depth) {
        RecordsetPtr rs = ModuleContext::InForce().Connection().Execute(
            "SELECT FParentID FROM t_Item WHERE FItemID=" + SqlId(current));
        if (rs->EOF_())
            break;
        current = static_cast<std::int32_t>(rs->Fields("FParentID").Value().ToInteger());
        if (current == 0)
            break;
        path.insert(path.begin(), current);
    }
    return path;
}

void RegisterFindComponent() {
    auto memory = std::make_shared<FindMemory>();
    auto source = std::make_shared<BrowseSearchAll>();
    ComponentRegistry::Register<FFSFace>(FFSFace::kProgID, [memory, source] {
        return std::make_shared<FindComponent>(memory, source);
    });
}

}  // namespace orva
