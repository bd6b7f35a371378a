#include "demo/fixed_data.h"

#include <string>

#include "demo/demo_company.h"

namespace orva::demo {

namespace {

void WriteCurrencies(CompanyWriter& w) {
    w.AddCurrency(kCurrencyRmb, "RMB", "人民币", "*", 1.0);
    w.AddCurrency(kCurrencyUsd, "USD", "美元", "*", kUsdRate);
    w.AddCurrency(kCurrencyEur, "EUR", "欧元", "*", kEurRate);
    w.AddCurrency(kCurrencyHkd, "HKD", "港币", "/", kHkdRate);
}

void WriteUnits(CompanyWriter& w) {
    w.AddUnitGroup(kUnitGroupCount, "01", "数量组", kUnitPiece);
    w.AddUnitGroup(kUnitGroupWeight, "02", "重量组", kUnitKilogram);
    w.AddUnitGroup(kUnitGroupLength, "03", "长度组", kUnitMetre);
    w.AddUnit(kUnitPiece, kUnitGroupCount, "PCS", "个", 1, false);
    w.AddUnit(kUnitBox, kUnitGroupCount, "BOX", "盒", 10, false);
    w.AddUnit(kUnitCarton, kUnitGroupCount, "CTN", "箱", 100, false);
    w.AddUnit(kUnitDozen, kUnitGroupCount, "DZ", "打", 12, true);
    w.AddUnit(kUnitGram, kUnitGroupWeight, "G", "克", 0.001, false);
    w.AddUnit(kUnitKilogram, kUnitGroupWeight, "KG", "千克", 1, false);
    w.AddUnit(kUnitTon, kUnitGroupWeight, "T", "吨", 1000, false);
    w.AddUnit(kUnitMetre, kUnitGroupLength, "M", "米", 1, false);
    w.AddUnit(kUnitRoll, kUnitGroupLength, "ROLL", "卷", 100, false);
    w.AddUnit(kUnitCentimetre, kUnitGroupLength, "CM", "厘米", 0.01, false);
}

void WriteOtherBaseData(CompanyWriter& w) {
    const char* departments[] = {"销售部", "采购部", "财务部", "仓储部"};
    for (int i = 0; i < 4; ++i) {
        w.AddOtherBase(kItemClassDepartment, "t_Department", "0" + std::to_string(i + 1),
                       departments[i]);
    }
    const char* employees[] = {"张敏", "李强", "王芳", "赵磊", "陈静"};
    for (int i = 0; i < 5; ++i) {
        w.AddOtherBase(kItemClassEmployee, "t_Emp", "00" + std::to_string(i + 1), employees[i]);
    }
    const char* stocks[] = {"原料仓", "成品仓", "半成品仓"};
    for (int i = 0; i < 3; ++i) {
        w.AddOtherBase(kItemClassStock, "t_Stock", "0" + std::to_string(i + 1), stocks[i]);
    }
    const char* suppliers[] = {"深圳华强电子有限公司", "上海宝钢贸易有限公司", "金光纸业有限公司"};
    for (int i = 0; i < 3; ++i) {
        w.AddOtherBase(kItemClassSupplier, "t_Supplier", "0" + std::to_string(i + 1), suppliers[i]);
    }
    const char* expenses[] = {"运输费", "包装费", "装卸费"};
    for (int i = 0; i < 3; ++i) {
        w.AddOtherBase(kItemClassExpense, "t_Exp", "0" + std::to_string(i + 1), expenses[i]);
    }
}

// Function rights of one holder on both price objects (1099, and 107 used
// when the session's subsystem is "ar").
void GrantPriceRights(CompanyWriter& w, int holder, std::int32_t rights) {
    w.AddAccessRight(holder, kPriceObjectId, kPriceRightIndex, rights);
    w.AddAccessRight(holder, kPriceObjectIdAr, kPriceRightIndex, rights);
}

// Read right on the base data of customers, items, units and currencies.
void GrantBaseDataRights(CompanyWriter& w, int holder) {
    for (int itemClass : {kItemClassCustomer, kItemClassItem, kItemClassUnit, 12}) {
        w.AddAccessRight(holder, kBaseDataObjectId, itemClass, kRightBaseData);
    }
}

void WriteUsers(CompanyWriter& w) {
    w.AddUser(kEveryoneGroupId, "Everyone", "所有用户", true, 0);
    w.AddUser(kAdminGroupId, "Administrators", "系统管理员组", true, 0);
    w.AddUser(kSalesGroupId, "Sales", "销售组", true, 0);
    w.AddUser(kViewerGroupId, "Viewers", "查询组", true, 0);

    w.AddUser(kAdminUserId, kAdminUserName, "系统管理员", false, 1);
    w.AddUser(kGroupClerkUserId, kGroupClerkUserName, "张敏（销售员，按组授权）", false, 1);
    w.AddUser(kRecordClerkUserId, kRecordClerkUserName, "李强（销售员，按记录授权）", false, 3);
    w.AddUser(kLimitedUserId, kLimitedUserName, "王芳（只能新增和打印）", false, 2);

    for (int user : {kAdminUserId, kGroupClerkUserId, kRecordClerkUserId, kLimitedUserId}) {
        w.AddMembership(kEveryoneGroupId, user);
    }
    w.AddMembership(kAdminGroupId, kAdminUserId);
    w.AddMembership(kSalesGroupId, kGroupClerkUserId);
    w.AddMembership(kViewerGroupId, kLimitedUserId);

    // Administrators hold everything.
    GrantPriceRights(w, kAdminGroupId, kAllRights);
    for (int itemClass : {kItemClassCustomer, kItemClassItem, kItemClassUnit, 12}) {
        w.AddAccessRight(kAdminGroupId, kBaseDataObjectId, itemClass, kAllRights);
    }
    // Sales: add, modify, delete, print; the group clerk adds audit itself.
    GrantPriceRights(w, kSalesGroupId, kRightAdd | kRightModify | kRightDelete | kRightPrint);
    GrantBaseDataRights(w, kSalesGroupId);
    GrantPriceRights(w, kGroupClerkUserId, kRightAudit);
    // Viewers: print only.
    GrantPriceRights(w, kViewerGroupId, kRightPrint);
    GrantBaseDataRights(w, kViewerGroupId);
    // The record clerk: everything but delete, granted to the user.
    GrantPriceRights(w, kRecordClerkUserId, kRightAdd | kRightModify | kRightAudit | kRightPrint);
    GrantBaseDataRights(w, kRecordClerkUserId);
    // The limited user: add of its own, print through the viewers.
    GrantPriceRights(w, kLimitedUserId, kRightAdd);
    // Group 0 never holds rights: this row must grant nothing.
    w.AddAccessRight(kEveryoneGroupId, kPriceObjectId, kPriceRightIndex, kRightDelete);
}

void WriteOptions(CompanyWriter& w) {
    w.AddOption("IC", "UseShortNumber", std::to_string(kOptionUseShortNumber),
                "代码显示与录入使用短代码");
    w.AddOption("IC", "AlertSELowPrice", std::to_string(kOptionAlertSELowPrice),
                "销售价格低于最低限价时提示");
    w.AddOption("IC", "BatchAuditSalePrice", std::to_string(kOptionBatchAuditSalePrice),
                "批量新增的价格资料自动审核");
}

}  // namespace

void WriteFixedData(CompanyWriter& writer) {
    WriteCurrencies(writer);
    WriteUnits(writer);
    WriteOtherBaseData(writer);
    WriteUsers(writer);
    WriteOptions(writer);
}

void WriteDataRights(CompanyWriter& writer, const DataRightsPlan& plan) {
    auto grant = [&](int holder, int typeId, int itemClass, const std::vector<std::string>& codes) {
        for (const std::string& code : codes) {
            writer.AddItemRight(holder, typeId, writer.IdOf(itemClass, code));
        }
    };
    // Group-level rights for the group clerk (bit 4 set, with bit 1 beside it
    // so the test reads the bit, not the value).
    writer.AddClassRight(kGroupClerkUserId, kItemClassCustomer, 5);
    writer.AddClassRight(kGroupClerkUserId, kItemClassItem, 5);
    grant(kGroupClerkUserId, kRightTypeCustomer, kItemClassCustomer, plan.groupClerkCustomerGroups);
    grant(kSalesGroupId, kRightTypeCustomer, kItemClassCustomer, plan.salesCustomerGroups);
    grant(kEveryoneGroupId, kRightTypeCustomer, kItemClassCustomer, plan.everyoneCustomerGroups);
    grant(kGroupClerkUserId, kRightTypeItem, kItemClassItem, plan.groupClerkItemGroups);
    grant(kSalesGroupId, kRightTypeItem, kItemClassItem, plan.salesItemGroups);
    grant(kEveryoneGroupId, kRightTypeItem, kItemClassItem, plan.everyoneItemGroups);
    writer.AddItemRight(kGroupClerkUserId, kRightTypeCurrency, kCurrencyRmb);
    writer.AddItemRight(kSalesGroupId, kRightTypeCurrency, kCurrencyUsd);

    // Record-level rights for the record clerk: class rights present but
    // without bit 4.
    writer.AddClassRight(kRecordClerkUserId, kItemClassCustomer, 3);
    writer.AddClassRight(kRecordClerkUserId, kItemClassItem, 3);
    grant(kRecordClerkUserId, kRightTypeCustomer, kItemClassCustomer, plan.recordClerkCustomers);
    grant(kRecordClerkUserId, kRightTypeItem, kItemClassItem, plan.recordClerkItems);
    writer.AddItemRight(kRecordClerkUserId, kRightTypeCurrency, kCurrencyRmb);
}

}  // namespace orva::demo
