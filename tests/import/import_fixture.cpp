#include "import_fixture.h"

#include "host/app_connection.h"
#include "host/host_services.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva::import::test {

void ImportTest::SetUp() {
    RegisterHostServices();
    ctx_->g_CategoryByCust = true;
    LogOn(demo::kAdminUserId);
}

void ImportTest::LogOn(int userId) {
    ctx_->g_Connection.reset();
    session_.reset();
    session_ = std::make_unique<::orva::test::ScopedSession>(company_.path(), userId);
    InitSessionProps(*ctx_, session_->propsString());
    ctx_->g_GLData.reset();
    ctx_->g_Connection = std::make_shared<AppConnection>();
}

void ImportTest::Exec(const std::string& sql) {
    ctx_->g_Connection->Execute(sql);
}

std::int64_t ImportTest::Int(const std::string& sql) {
    RecordsetPtr rs = ctx_->g_Connection->Execute(sql);
    if (rs->EOF_())
        return 0;
    const Variant& v = rs->Fields(0).Value();
    return v.IsNull() ? 0 : v.ToInteger();
}

void ImportTest::AddCustomer(int id, const std::string& number) {
    Exec(
        "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
        "FDetail) VALUES (" +
        SqlId(id) + ",1," + SqlText(number) + "," + SqlText("S" + number) + "," +
        SqlText("N" + number) +
        ",0,1,1)\r\nINSERT INTO t_Organization (FItemID,FNumber,"
        "FShortNumber,FName,FParentID) VALUES (" +
        SqlId(id) + "," + SqlText(number) + "," + SqlText("S" + number) + "," +
        SqlText("N" + number) + ",0)");
}

void ImportTest::AddItem(int id, const std::string& number, int unit) {
    Exec(
        "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
        "FDetail) VALUES (" +
        SqlId(id) + ",4," + SqlText(number) + "," + SqlText("S" + number) + "," +
        SqlText("N" + number) +
        ",0,1,1)\r\nINSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,"
        "FName,FParentID,FErpClsID,FUnitID,FUnitGroupID) VALUES (" +
        SqlId(id) + "," + SqlText(number) + "," + SqlText("S" + number) + "," +
        SqlText("N" + number) + ",0,1," + SqlId(unit) + "," + SqlId(demo::kUnitGroupCount) + ")");
}

int ImportTest::AddEntry(int cust, int item, double start, double end, double price, int used) {
    const int id = ++nextEntry_;
    Exec(
        "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
        "FPrice,FCyID,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) VALUES ('0'," +
        SqlId(id) + "," + SqlId(cust) + "," + SqlId(item) + "," + SqlId(demo::kUnitPiece) + "," +
        SqlNumber(start) + "," + SqlNumber(end) + "," + SqlNumber(price) +
        ",1,0,0,'2024-01-01','2100-01-01'," + SqlId(used) + ",'')");
    return id;
}

void ImportTest::SetOption(const std::string& key, int value) {
    Exec("DELETE FROM t_SystemProfile WHERE FKey=" + SqlText(key) +
         "\r\nINSERT INTO t_SystemProfile (FCategory,FKey,FValue) VALUES ('IC'," + SqlText(key) +
         "," + SqlText(std::to_string(value)) + ")");
}

void ImportTest::SetCustomerFloor(int cust, int item, double price) {
    Exec("DELETE FROM t_Cust WHERE FCustID=" + SqlId(cust) + " AND FItemID=" + SqlId(item) +
         "\r\nINSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," +
         SqlId(item) + "," + SqlId(cust) + ",1," + SqlNumber(price) + ")");
}

std::int64_t ImportTest::Entries(int cust) {
    return Int("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + SqlId(cust));
}

Stored ImportTest::Entry(int cust, int item, double start, double end) {
    RecordsetPtr rs = ctx_->g_Connection->Execute(
        "SELECT FEntryID,FPrice,FDiscount,FUsed,FNote FROM t_CustEntry WHERE FCustID=" +
        SqlId(cust) + " AND FItemID=" + SqlId(item) + " AND FStartQty=" + SqlNumber(start) +
        " AND FEndQty=" + SqlNumber(end));
    Stored s;
    if (rs->EOF_())
        return s;
    s.entryID = static_cast<int>(rs->Fields("FEntryID").Value().ToInteger());
    s.price = rs->Fields("FPrice").Value().ToDouble();
    s.discount = rs->Fields("FDiscount").Value().ToDouble();
    s.used = static_cast<int>(rs->Fields("FUsed").Value().ToInteger());
    const Variant& note = rs->Fields("FNote").Value();
    s.note = note.IsNull() ? "" : note.ToText();
    return s;
}

ImportPlan ImportTest::Plan(const std::string& path, ImportLeaf leaf) {
    return PlanImport(*ctx_, *ctx_->g_Connection, path, {}, leaf);
}

}  // namespace orva::import::test
