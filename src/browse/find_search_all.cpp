#include "browse/find_search_all.h"

#include "browse/tvw_builder.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/find/find_component.h"
#include "host/find/text_fold.h"
#include "host/text_util.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {
namespace {

const std::string kCrLfText(kCrLf);

// '!' is the escape character of every LIKE pattern the search writes. A
// '[' becomes the one-character wildcard instead: the embedded company's
// T-SQL layer takes no '[' in a pattern, escaped or not, and the statement
// only picks the candidates; each candidate's ledger is then matched
// exactly, '[' included.
std::string LikeLiteral(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '[') {
            out += '_';
            continue;
        }
        if (c == '!' || c == '%' || c == '_')
            out += '!';
        out += c;
    }
    return out;
}

std::string Like(const std::string& expr, const std::string& pattern, bool negated = false) {
    return expr + (negated ? " NOT LIKE " : " LIKE ") + SqlText(pattern) + " ESCAPE '!'";
}

std::string ColumnExpr(std::string_view column, bool shortNumber) {
    if (EqualsNoCase(column, "FNumber"))
        return shortNumber ? "t1.FShortNumber" : "t1.FNumber";
    if (EqualsNoCase(column, "FName"))
        return "t1.FName";
    if (EqualsNoCase(column, "FModel"))
        return "t1.FModel";
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

Parts SplitCriteria(const SearchAllRequest& r) {
    std::vector<std::string> leaf, entries;
    for (const CheckedCriterion& c : r.criteria->rows) {
        (IsLeafColumn(c.column) ? leaf : entries)
            .push_back(BrowseSearchAll::Condition(c, r.shortNumber));
    }
    const char* op = r.criteria->join == FindJoin::kAny ? " OR " : " AND ";
    return {Joined(leaf, op), Joined(entries, op)};
}

// The price entries of t1 the ledger can list (other party not a planning or
// feature item), with their unit and currency, and a condition on them.
std::string EntriesExist(bool itemTree, const std::string& condition) {
    std::string s = "EXISTS (SELECT 1 FROM t_CustEntry u1";
    if (itemTree)
        s += " INNER JOIN t_Organization v1 ON u1.FCustID=v1.FItemID";
    else
        s += " INNER JOIN t_ICItem v1 ON u1.FItemID=v1.FItemID";
    s += " INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID";
    s += " INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID";
    s += itemTree ? " WHERE u1.FItemID=t1.FItemID"
                  : " WHERE u1.FCustID=t1.FItemID AND "
                    "v1.FErpClsID not in (6,8)";
    if (!condition.empty())
        s += " AND (" + condition + ")";
    return s + ")";
}

// SELECT ... FROM the tree's leaf table with its rights joins, WHERE its base
// condition and rights condition, then `condition`, ORDER BY the code.
std::string LeafStatement(const SearchAllRequest& r, const std::string& top,
                          const std::string& condition) {
    const char* code = r.shortNumber ? "t1.FShortNumber" : "t1.FNumber";
    std::string select = "SELECT Distinct " + top + "t1.FItemID," +
                         (r.shortNumber ? "t1.FShortNumber AS FNumber" : "t1.FNumber") + " ";
    std::string from =
        r.itemTree ? "FROM t_ICItem t1 " + kCrLfText : "FROM t_Organization t1 " + kCrLfText;
    std::string where = r.itemTree ? "WHERE t1.FErpClsid not in (6,8) " : "WHERE 1=1";
    if (r.checkRights) {
        RightsFilter f = r.itemTree
                             ? TreeItemFilter(r.userID, HasItemClassRight(kItemClassItem))
                             : TreeCustomerFilter(r.userID, HasItemClassRight(kItemClassCustomer));
        from += f.from;
        where += f.where;
    }
    where += " AND (" + condition + ")" + kCrLfText;
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

std::string BrowseSearchAll::Condition(const CheckedCriterion& c, bool shortNumber) {
    const std::string e = ColumnExpr(c.column, shortNumber);
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
    const Parts parts = SplitCriteria(r);
    std::string condition;
    if (parts.leaf.empty()) {
        condition = EntriesExist(r.itemTree, parts.entries);
    } else if (parts.entries.empty()) {
        condition = "(" + parts.leaf + ") AND " + EntriesExist(r.itemTree, "");
    } else if (r.criteria->join == FindJoin::kAll) {
        condition = "(" + parts.leaf + ") AND " + EntriesExist(r.itemTree, parts.entries);
    } else {
        // Any of: every entry of a customer or item whose own fields match
        // matches, so it is found when it has entries at all.
        condition = "((" + parts.leaf + ") AND " + EntriesExist(r.itemTree, "") + ") OR " +
                    EntriesExist(r.itemTree, parts.entries);
    }
    return LeafStatement(r, "", condition);
}

std::vector<std::int32_t> BrowseSearchAll::MatchingLeaves(const SearchAllRequest& request) {
    return Ids(SharedConnection().Execute(MatchingLeavesSql(request)));
}

std::optional<std::int32_t> BrowseSearchAll::LeafMatchingOwnFields(
    const SearchAllRequest& request) {
    const Parts parts = SplitCriteria(request);
    if (parts.leaf.empty())
        return std::nullopt;
    std::vector<std::int32_t> ids =
        Ids(SharedConnection().Execute(LeafStatement(request, "TOP 1 ", parts.leaf)));
    if (ids.empty())
        return std::nullopt;
    return ids.front();
}

RecordsetPtr BrowseSearchAll::LeafLedger(bool itemTree, std::int32_t id) {
    tvwBuilder builder;
    builder.SetCategoryByItem(itemTree);
    return SharedConnection().Execute(builder.GetDetailSql(SqlId(id)));
}

RecordsetPtr BrowseSearchAll::LeafRecord(const SearchAllRequest& request, std::int32_t id) {
    std::string sql = "SELECT t1.FItemID,";
    sql += request.shortNumber ? "t1.FShortNumber AS FNumber" : "t1.FNumber";
    sql += ",t1.FName";
    sql += request.itemTree ? ",t1.FModel FROM t_ICItem t1" : " FROM t_Organization t1";
    return SharedConnection().Execute(sql + " WHERE t1.FItemID=" + SqlId(id));
}

std::vector<std::int32_t> BrowseSearchAll::GroupPath(std::int32_t id) {
    std::vector<std::int32_t> path;
    std::int32_t current = id;
    // Group trees are a few levels deep; the bound stops a cycle in bad data.
    for (int depth = 0; depth < 64; ++depth) {
        RecordsetPtr rs = SharedConnection().Execute("SELECT FParentID FROM t_Item WHERE FItemID=" +
                                                     SqlId(current));
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
