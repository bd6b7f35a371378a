// The data-rights fragments of the module's SELECT statements, as exact texts.
//
// A filter limits the rows of one table alias (the limited alias) by an inner
// join with t_ItemRight under an alias of its own, for one rights type and the
// current user U, and adds the matching condition:
//   from:  the join, either on the record itself (direct join) or, when the
//          user's rights for the item class are group-level, on the record's
//          group: the t_Item row whose code is the record's code without its
//          last "."-segment (group join);
//   where: "AND r.FTypeID=<type>" CR LF
//          "AND (r.FuserID=U OR r.FUserID IN (SELECT FGroupID FROM t_Group
//          WHERE FGroupID <> 0 AND FUserID=U ))" CR LF
//          (a right held by the user or by one of its groups, group 0 excepted).
// Every piece ends with CR LF. The statements of the module differ in blanks,
// letter case and aliases; each family has its own function below so that a
// statement builder never types a fragment itself. Callers decide whether a
// statement is filtered (DataRightsApply) and whether rights are group-level
// (HasItemClassRight), both in session/rights.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orva {

// Rights type codes of t_ItemRight.FTypeID.
enum class RightsType : std::int32_t {
    kCustomer = 1,
    kItem = 4,
    kCurrency = 120,
};

// The two parts a filter adds to a statement.
struct RightsFilter {
    std::string from;   // appended to the FROM fragment
    std::string where;  // appended directly to the WHERE fragment
};

// --- Pieces ---------------------------------------------------------------

// How the condition's subquery is spelled: "SELECT FGroupID FROM t_Group
// WHERE FGroupID <> 0 AND FUserID=" (upper) or "Select FGroupID From t_Group
// Where FGroupID <> 0 And FUserID=" (mixed).
enum class ConditionCase { kUpper, kMixed };

// "AND r.FTypeID=T" CR LF "AND (r.FuserID=U OR r.FUserID IN (... ))" CR LF.
std::string RightsCondition(std::string_view rightsAlias, RightsType type, std::int32_t userID,
                            ConditionCase spelling);

// "[ ]INNER JOIN t_ItemRight r ON a.<idColumn>=r.FItemID[ ]" CR LF.
std::string DirectRightsJoin(std::string_view limitedAlias, std::string_view idColumn,
                             std::string_view rightsAlias, bool leadingBlank, bool trailingBlank);

// "[ ]INNER JOIN t_Item g ON LEFT(a.FNumber,LEN(a.FNumber)-CHARINDEX('.',
// REVERSE(RTRIM(a.FNumber)))) = g.FNumber" CR LF
// "[ ]INNER JOIN t_ItemRight r ON g.FItemID=r.FItemID" CR LF.
std::string GroupRightsJoin(std::string_view codeAlias, std::string_view groupAlias,
                            std::string_view rightsAlias, bool blankBeforeGroupJoin,
                            bool blankBeforeRightsJoin);

// --- Statement families ---------------------------------------------------

// Cell validation of the record editor: items (t_ICItem t1), customers
// (t_Organization t1), both with t_ItemRight t6 and the group row t8; the
// direct join " INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID " and the
// group join with a blank before its first line only; upper-case condition.
RightsFilter EditorItemFilter(std::int32_t userID, bool groupLevel);
RightsFilter EditorCustomerFilter(std::int32_t userID, bool groupLevel);
// Currencies (t_Currency t1, t6): " INNER JOIN t_ItemRight t6 ON
// t1.FCurrencyID=t6.FItemID "; never group-level.
RightsFilter EditorCurrencyFilter(std::int32_t userID);

// Group tree lists and the ledger query. Items on t1 with t6 and t8: direct
// " INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID ", group join without
// leading blanks, upper-case condition.
RightsFilter TreeItemFilter(std::int32_t userID, bool groupLevel);
// Customers on t1 (tree lists) or v1 (ledger query) with t7 and t9: direct
// " INNER JOIN t_ItemRight t7 ON <a>.FItemID=t7.FItemID" (no trailing
// blank), group join without leading blanks, mixed-case condition.
RightsFilter TreeCustomerFilter(std::int32_t userID, bool groupLevel,
                                std::string_view limitedAlias = "t1");
// The ledger query's currency filters: the price currency (t3, t10) and the
// minimum-price currency (u3, t11): "INNER JOIN t_ItemRight t10 ON
// t3.FCurrencyID=t10.FItemID", no blanks around; upper-case condition.
RightsFilter LedgerPriceCurrencyFilter(std::int32_t userID);
RightsFilter LedgerMinPriceCurrencyFilter(std::int32_t userID);

// The group member walk of the batch operations (#Stack v1) for items or
// customers, with t7 and t9: direct " INNER JOIN t_ItemRight t7 ON
// v1.FItemID=t7.FItemID"; group-level first joins the member's t_Item row
// (" Inner join t_Item v2 on v1.FItemID=v2.FITemID ") and tests the group of
// v2, each line with a leading blank; mixed-case condition.
RightsFilter MemberFilter(std::int32_t userID, RightsType type, bool groupLevel);

}  // namespace orva
