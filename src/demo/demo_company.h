// Fixed facts of the generated companies (demo and large) that programs and
// tests rely on: users, groups, their rights, currencies, units, options and
// the dates of the price entries. Both generators write exactly these.
//
// Who sees what (data rights: t_ItemRight, t_UserItemClassRight, t_Group;
// function rights: t_OrvaAccessRight, object 1099 and 107, index 6):
//
// - kAdminUserId "administrator": member of group 1, so never filtered
//   although its FDataVokeType is odd; holds every function right.
// - kGroupClerkUserId "zhangmin": FDataVokeType odd (filtered), bit 4 set in
//   t_UserItemClassRight for classes 1 and 4, so rights are group-level: a
//   record is seen when the group its code names (code without its last
//   segment) is granted. Granted to the user: customer groups "01" and
//   "01.01", item groups "01" and "01.01", currency 1. Granted to its group
//   kSalesGroupId: customer groups "02" and "02.01", item groups "03" and
//   "03.01", currency 2. Granted to group 0 (which grants nothing): customer
//   groups "03", "03.01", item group "02". So it sees customers 01.0xx,
//   01.01.xxx, 02.0xx (none exist) and 02.01.xxx; items 01.0xx, 01.01.xxx,
//   03.0xx, 03.01.xxx; prices only in currencies 1 and 2. Function rights:
//   add, modify, delete and print from kSalesGroupId, audit of its own.
// - kRecordClerkUserId "liqiang": FDataVokeType odd, class rights without
//   bit 4, so every record needs a right of its own: the groups on the way
//   to its records (customer groups "01", "01.01", "02", "02.01"; item groups
//   "01", "01.01", "02", "02.01") and the records listed in
//   kRecordClerkCustomers / kRecordClerkItems, currency 1. Function rights:
//   add, modify, audit and print, no delete.
// - kLimitedUserId "wangfang": FDataVokeType even (2), so not filtered: sees
//   all data. Function rights: add of its own and print through
//   kViewerGroupId; no modify, delete or audit.
//
// Group 0 also holds a delete right in t_OrvaAccessRight, which must grant
// nothing (group 0 is never a rights holder).
//
// A large company has the same users, groups and function rights; its clerks
// hold the same kinds of data rights on its first groups (the group clerk on
// "01", "01.01" and, through kSalesGroupId, on "02", "02.01"; the record clerk
// on "01", "01.01" and the first five customers and six items).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "host/item_classes.h"

namespace orva::demo {

// Groups (rows of t_User with FIsGroup 1; memberships in t_Group).
inline constexpr int kEveryoneGroupId = 0;
inline constexpr int kAdminGroupId = 1;
inline constexpr int kSalesGroupId = 2;
inline constexpr int kViewerGroupId = 3;

// Users (t_User.FUserID is a 16-bit value).
inline constexpr int kAdminUserId = 16394;
inline constexpr std::string_view kAdminUserName = "administrator";
inline constexpr int kGroupClerkUserId = 16395;
inline constexpr std::string_view kGroupClerkUserName = "zhangmin";
inline constexpr int kRecordClerkUserId = 16396;
inline constexpr std::string_view kRecordClerkUserName = "liqiang";
inline constexpr int kLimitedUserId = 16397;
inline constexpr std::string_view kLimitedUserName = "wangfang";

// Function objects and right bits of AccessCheck.
inline constexpr int kPriceObjectId = 1099;
inline constexpr int kPriceObjectIdAr = 107;
inline constexpr int kPriceRightIndex = 6;
inline constexpr int kBaseDataObjectId = 3;
inline constexpr std::int32_t kRightAudit = 0x1;
inline constexpr std::int32_t kRightPrint = 0x8000;
inline constexpr std::int32_t kRightDelete = 0x10000;
inline constexpr std::int32_t kRightAdd = 0x20000;
inline constexpr std::int32_t kRightModify = 0x400000;
inline constexpr std::int32_t kRightBaseData = 0x100000;
inline constexpr std::int32_t kAllRights = 0x7FFFFFFF;

// Data-rights type codes of t_ItemRight.FTypeID.
inline constexpr int kRightTypeCustomer = 1;
inline constexpr int kRightTypeItem = 4;
inline constexpr int kRightTypeCurrency = 120;

// Item property classes (t_ICItem.FErpClsID) that carry no prices.
inline constexpr int kErpClsPlanning = 6;
inline constexpr int kErpClsFeature = 8;

// Currencies: 1 is the base currency.
inline constexpr int kCurrencyRmb = 1;  // 人民币, "*", 1
inline constexpr int kCurrencyUsd = 2;  // 美元, "*", kUsdRate
inline constexpr int kCurrencyEur = 3;  // 欧元, "*", kEurRate
inline constexpr int kCurrencyHkd = 4;  // 港币, "/", kHkdRate
inline constexpr double kUsdRate = 7.1;
inline constexpr double kEurRate = 7.8;
inline constexpr double kHkdRate = 1.09;

// Unit groups and units (t_MeasureUnit.FItemID = FMeasureUnitID, also rows
// of t_Item with class 7). Coefficients relative to the group's base unit,
// which is every item's own unit (coefficient 1), so a price per item unit is
// also the price per base unit that minimum prices are compared with.
inline constexpr int kUnitGroupCount = 1;    // 数量组
inline constexpr int kUnitGroupWeight = 2;   // 重量组
inline constexpr int kUnitGroupLength = 3;   // 长度组
inline constexpr int kUnitPiece = 101;       // 个 PCS 1
inline constexpr int kUnitBox = 102;         // 盒 BOX 10
inline constexpr int kUnitCarton = 103;      // 箱 CTN 100
inline constexpr int kUnitDozen = 104;       // 打 DZ 12, deleted
inline constexpr int kUnitGram = 105;        // 克 G 0.001
inline constexpr int kUnitKilogram = 106;    // 千克 KG 1
inline constexpr int kUnitTon = 107;         // 吨 T 1000
inline constexpr int kUnitMetre = 108;       // 米 M 1
inline constexpr int kUnitRoll = 109;        // 卷 ROLL 100
inline constexpr int kUnitCentimetre = 110;  // 厘米 CM 0.01

// System options written to t_SystemProfile.
inline constexpr int kOptionUseShortNumber = 0;       // category IC
inline constexpr int kOptionAlertSELowPrice = 1;      // category IC
inline constexpr int kOptionBatchAuditSalePrice = 0;  // category IC

// Validity periods of the generated price entries. "Current" entries are in
// force on any date from kCurrentFrom to kOpenEnd; "future" ones only from
// kFutureFrom on.
inline constexpr std::string_view kExpiredFrom = "2022-01-01";
inline constexpr std::string_view kExpiredTo = "2023-12-31";
inline constexpr std::string_view kCurrentFrom = "2024-01-01";
inline constexpr std::string_view kFutureFrom = "2099-01-01";
inline constexpr std::string_view kOpenEnd = "2100-01-01";

// First FItemID of groups and records (units use 101..110).
inline constexpr int kFirstRecordId = 1001;

// Demo company codes worth knowing.
inline constexpr std::string_view kRetailCustomerNumber = "99";        // top-level customer
inline constexpr std::string_view kQuoteCustomerNumber = "04.02.001";  // O'Neil Trading Ltd.
inline constexpr std::string_view kDeletedCustomerNumber = "01.03.005";
inline constexpr std::string_view kDeletedItemNumber = "05.03.021";
inline constexpr std::array<std::string_view, 5> kRecordClerkCustomers = {
    "01.01.001", "01.01.002", "02.01.001", "02.01.003", "99"};
inline constexpr std::array<std::string_view, 6> kRecordClerkItems = {
    "01.01.001", "01.01.002", "01.01.005", "02.01.001", "02.01.002", "02.01.010"};

}  // namespace orva::demo
