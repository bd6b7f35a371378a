#include "session/rights_filter.h"

#include "model/sql_values.h"

namespace orva {
namespace {

std::string Str(std::string_view s) {
    return std::string(s);
}

}  // namespace

std::string RightsCondition(std::string_view rightsAlias, RightsType type, std::int32_t userID,
                            ConditionCase spelling) {
    const std::string r = Str(rightsAlias);
    const std::string u = SqlId(userID);
    const char* subquery = spelling == ConditionCase::kUpper
                               ? "SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID="
                               : "Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=";
    return "AND " + r + ".FTypeID=" + SqlId(static_cast<std::int32_t>(type)) + Str(kCrLf) +
           "AND (" + r + ".FuserID=" + u + " OR " + r + ".FUserID IN (" + subquery + u + " ))" +
           Str(kCrLf);
}

std::string DirectRightsJoin(std::string_view limitedAlias, std::string_view idColumn,
                             std::string_view rightsAlias, bool leadingBlank, bool trailingBlank) {
    const std::string r = Str(rightsAlias);
    return Str(leadingBlank ? " " : "") + "INNER JOIN t_ItemRight " + r + " ON " +
           Str(limitedAlias) + "." + Str(idColumn) + "=" + r + ".FItemID" +
           (trailingBlank ? " " : "") + Str(kCrLf);
}

std::string GroupRightsJoin(std::string_view codeAlias, std::string_view groupAlias,
                            std::string_view rightsAlias, bool blankBeforeGroupJoin,
                            bool blankBeforeRightsJoin) {
    const std::string code = Str(codeAlias) + ".FNumber";
    const std::string g = Str(groupAlias);
    const std::string r = Str(rightsAlias);
    return Str(blankBeforeGroupJoin ? " " : "") + "INNER JOIN t_Item " + g + " ON LEFT(" + code +
           ",LEN(" + code + ")-CHARINDEX('.',REVERSE(RTRIM(" + code + ")))) = " + g + ".FNumber" +
           Str(kCrLf) + (blankBeforeRightsJoin ? " " : "") + "INNER JOIN t_ItemRight " + r +
           " ON " + g + ".FItemID=" + r + ".FItemID" + Str(kCrLf);
}

namespace {

RightsFilter EditorRecordFilter(std::int32_t userID, bool groupLevel, RightsType type) {
    return {groupLevel ? GroupRightsJoin("t1", "t8", "t6", true, false)
                       : DirectRightsJoin("t1", "FItemID", "t6", true, true),
            RightsCondition("t6", type, userID, ConditionCase::kUpper)};
}

RightsFilter LedgerCurrencyFilter(std::int32_t userID, std::string_view limitedAlias,
                                  std::string_view rightsAlias) {
    return {DirectRightsJoin(limitedAlias, "FCurrencyID", rightsAlias, false, false),
            RightsCondition(rightsAlias, RightsType::kCurrency, userID, ConditionCase::kUpper)};
}

}  // namespace

RightsFilter EditorItemFilter(std::int32_t userID, bool groupLevel) {
    return EditorRecordFilter(userID, groupLevel, RightsType::kItem);
}

RightsFilter EditorCustomerFilter(std::int32_t userID, bool groupLevel) {
    return EditorRecordFilter(userID, groupLevel, RightsType::kCustomer);
}

RightsFilter EditorCurrencyFilter(std::int32_t userID) {
    return {DirectRightsJoin("t1", "FCurrencyID", "t6", true, true),
            RightsCondition("t6", RightsType::kCurrency, userID, ConditionCase::kUpper)};
}

RightsFilter TreeItemFilter(std::int32_t userID, bool groupLevel) {
    return {groupLevel ? GroupRightsJoin("t1", "t8", "t6", false, false)
                       : DirectRightsJoin("t1", "FItemID", "t6", true, true),
            RightsCondition("t6", RightsType::kItem, userID, ConditionCase::kUpper)};
}

RightsFilter TreeCustomerFilter(std::int32_t userID, bool groupLevel,
                                std::string_view limitedAlias) {
    return {groupLevel ? GroupRightsJoin(limitedAlias, "t9", "t7", false, false)
                       : DirectRightsJoin(limitedAlias, "FItemID", "t7", true, false),
            RightsCondition("t7", RightsType::kCustomer, userID, ConditionCase::kMixed)};
}

RightsFilter LedgerPriceCurrencyFilter(std::int32_t userID) {
    return LedgerCurrencyFilter(userID, "t3", "t10");
}

RightsFilter LedgerMinPriceCurrencyFilter(std::int32_t userID) {
    return LedgerCurrencyFilter(userID, "u3", "t11");
}

RightsFilter MemberFilter(std::int32_t userID, RightsType type, bool groupLevel) {
    std::string from = groupLevel ? " Inner join t_Item v2 on v1.FItemID=v2.FITemID " + Str(kCrLf) +
                                        GroupRightsJoin("v2", "t9", "t7", true, true)
                                  : DirectRightsJoin("v1", "FItemID", "t7", true, false);
    return {std::move(from), RightsCondition("t7", type, userID, ConditionCase::kMixed)};
}

}  // namespace orva
