#include "batch_fixture.h"

#include <sqlite3.h>

#include "host/app_connection.h"
#include "host/db/sqlite/sqlite_functions.h"
#include "host/host_services.h"
#include "host/share_props.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva::batchtest {

void BatchTest::SetUp() {
    RegisterHostServices();
    ctx_->g_CategoryByCust = true;
    LogOn(demo::kAdminUserId);
    grid_.SetMaxCols(3);
    grid_.SetMaxRows(UserDefInfo::kRowCount);
    engine_.Spread(&grid_);
}

void BatchTest::LogOn(int userId) {
    ctx_->g_Connection.reset();
    session_.reset();
    session_ = std::make_unique<test::ScopedSession>(Database(), userId);
    InitSessionProps(*ctx_, session_->propsString());
    ctx_->g_GLData.reset();
    ctx_->g_Connection = std::make_shared<AppConnection>();
}

RecordsetPtr BatchTest::Query(const std::string& sql) {
    return ctx_->g_Connection->Execute(sql);
}

void BatchTest::Exec(const std::string& sql) {
    ctx_->g_Connection->Execute(sql);
}

std::int64_t BatchTest::Int(const std::string& sql) {
    RecordsetPtr rs = Query(sql);
    if (rs->EOF_())
        return 0;
    const Variant& v = rs->Fields(0).Value();
    return v.IsNull() ? 0 : v.ToInteger();
}

void BatchTest::RawExec(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(company_.path().c_str(), &db), SQLITE_OK);
    RegisterSqlServerCompat(db);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

namespace {

std::string ItemRow(int id, int cls, const std::string& number, int parent, int level, bool detail,
                    const std::string& name) {
    return "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
           "FDetail) VALUES (" +
           SqlId(id) + "," + SqlId(cls) + "," + SqlText(number) + "," + SqlText("S" + number) +
           "," + SqlText(name.empty() ? "N" + number : name) + "," + SqlId(parent) + "," +
           SqlId(level) + "," + SqlFlag(detail) + ")";
}

}  // namespace

int BatchTest::LevelBelow(int parent) {
    if (parent == 0)
        return 1;
    return static_cast<int>(Int("SELECT FLevel FROM t_Item WHERE FItemID=" + SqlId(parent))) + 1;
}

void BatchTest::AddCustomerGroup(int id, const std::string& number, int parent) {
    const int level = LevelBelow(parent);
    Exec(ItemRow(id, kItemClassCustomer, number, parent, level, false, ""));
}

void BatchTest::AddCustomer(int id, const std::string& number, int parent,
                            const std::string& name) {
    const int level = LevelBelow(parent);
    const std::string shown = name.empty() ? "N" + number : name;
    Exec(ItemRow(id, kItemClassCustomer, number, parent, level, true, shown) + "\r\n" +
         "INSERT INTO t_Organization (FItemID,FNumber,FShortNumber,FName,FParentID) VALUES (" +
         SqlId(id) + "," + SqlText(number) + "," + SqlText("S" + number) + "," + SqlText(shown) +
         "," + SqlId(parent) + ")");
}

void BatchTest::AddItemGroup(int id, const std::string& number, int parent) {
    const int level = LevelBelow(parent);
    Exec(ItemRow(id, kItemClassItem, number, parent, level, false, "") + "\r\n" +
         "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FParentID) VALUES (" +
         SqlId(id) + "," + SqlText(number) + "," + SqlText("S" + number) + "," +
         SqlText("N" + number) + "," + SqlId(parent) + ")");
}

void BatchTest::AddItem(int id, const std::string& number, int parent, int unit, int erpCls) {
    const int level = LevelBelow(parent);
    Exec(ItemRow(id, kItemClassItem, number, parent, level, true, "") + "\r\n" +
         "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FParentID,FErpClsID,FUnitID,"
         "FUnitGroupID) VALUES (" +
         SqlId(id) + "," + SqlText(number) + "," + SqlText("S" + number) + "," +
         SqlText("N" + number) + "," + SqlId(parent) + "," + SqlId(erpCls) + "," + SqlId(unit) +
         "," + SqlId(unit == 0 ? 0 : demo::kUnitGroupCount) + ")");
}

void BatchTest::SetItemFloor(int item, double price, int currency) {
    Exec("UPDATE t_ICItem SET FSalePriceFixingType=1,FSoLowPrc=" + SqlNumber(price) +
         ",FSoLowPrcMnyType=" + SqlId(currency) + " WHERE FItemID=" + SqlId(item));
}

void BatchTest::SetCustomerFloor(int cust, int item, double price, int currency) {
    Exec("DELETE FROM t_Cust WHERE FCustID=" + SqlId(cust) + " AND FItemID=" + SqlId(item) +
         "\r\nINSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," +
         SqlId(item) + "," + SqlId(cust) + "," + SqlId(currency) + "," + SqlNumber(price) + ")");
}

void BatchTest::SetOption(const std::string& key, int value) {
    Exec("DELETE FROM t_SystemProfile WHERE FKey=" + SqlText(key) +
         "\r\nINSERT INTO t_SystemProfile (FCategory,FKey,FValue) VALUES ('IC'," + SqlText(key) +
         "," + SqlText(std::to_string(value)) + ")");
}

int BatchTest::AddEntry(const Entry& e) {
    const int id = ++nextEntry_;
    Exec(
        "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,FPrice,"
        "FCyID,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) VALUES ('0'," +
        SqlId(id) + "," + SqlId(e.cust) + "," + SqlId(e.item) + "," + SqlId(e.unit) + "," +
        SqlNumber(e.startQty) + "," + SqlNumber(e.endQty) + "," + SqlNumber(e.price) + "," +
        SqlId(e.currency) + "," + SqlNumber(e.discount) + "," + SqlId(e.leadTime) + "," +
        SqlDate(e.quote) + "," + SqlDate(e.expire) + "," + SqlId(e.used) + "," + SqlText(e.note) +
        ")");
    return id;
}

bool BatchTest::EntryExists(int entryID) {
    return Int("SELECT COUNT(*) FROM t_CustEntry WHERE FEntryID=" + SqlId(entryID)) == 1;
}

Stored BatchTest::Read(int entryID) {
    RecordsetPtr rs = Query(
        "SELECT FUnitID,FPrice,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote FROM "
        "t_CustEntry WHERE FEntryID=" +
        SqlId(entryID));
    Stored s;
    if (rs->EOF_()) {
        ADD_FAILURE() << "entry " << entryID << " is missing";
        return s;
    }
    s.unit = static_cast<int>(rs->Fields("FUnitID").Value().ToInteger());
    s.price = rs->Fields("FPrice").Value().ToDouble();
    s.discount = rs->Fields("FDiscount").Value().ToDouble();
    s.leadTime = static_cast<int>(rs->Fields("FLeadTime").Value().ToInteger());
    s.quote = rs->Fields("FQuoteTime").Value().ToText();
    s.expire = rs->Fields("FExpireDate").Value().ToText();
    s.used = static_cast<int>(rs->Fields("FUsed").Value().ToInteger());
    s.note = rs->Fields("FNote").Value().ToText();
    return s;
}

std::int64_t BatchTest::EntryCount(int cust, int item) {
    return Int("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + SqlId(cust) +
               " AND FItemID=" + SqlId(item));
}

bool BatchTest::HeaderExists(int cust, int item) {
    return Int("SELECT COUNT(*) FROM t_Cust WHERE FCustID=" + SqlId(cust) +
               " AND FItemID=" + SqlId(item)) == 1;
}

void BatchTest::Fill(const GridValues& g) {
    auto set = [&](int row, const std::string& text, const std::string& value) {
        grid_.SetText(UserDefInfo::kColText, row, text);
        grid_.SetText(UserDefInfo::kColValue, row, value);
    };
    set(UserDefInfo::kRowCustNumber, "C" + std::to_string(g.cust), std::to_string(g.cust));
    set(UserDefInfo::kRowItemNumber, "I" + std::to_string(g.item), std::to_string(g.item));
    set(UserDefInfo::kRowUnit, "U" + std::to_string(g.unit), std::to_string(g.unit));
    set(UserDefInfo::kRowStartQty, FormatDouble(g.startQty), FormatDouble(g.startQty));
    set(UserDefInfo::kRowEndQty, FormatDouble(g.endQty), FormatDouble(g.endQty));
    set(UserDefInfo::kRowPrice, FormatDouble(g.price), FormatDouble(g.price));
    set(UserDefInfo::kRowCurrency, "Y" + std::to_string(g.currency), std::to_string(g.currency));
    set(UserDefInfo::kRowDiscount, "0", "0");
    set(UserDefInfo::kRowLeadTime, std::to_string(g.leadTime), std::to_string(g.leadTime));
    set(UserDefInfo::kRowQuoteTime, g.quote, g.quote);
    set(UserDefInfo::kRowExpireDate, g.expire, g.expire);
    set(UserDefInfo::kRowNote, g.note, g.note);
}

}  // namespace orva::batchtest
