#include "support/company_queries.h"

#include "host/app_connection.h"
#include "host/db/open_database.h"
#include "orvasaleprice/variant.h"

namespace orva::test {

std::string CompanyQueries::Scalar(const std::string& sql) const {
    AppConnection db(OpenDatabase(CompanyPath()));
    RecordsetPtr rs = db.Execute(sql);
    if (!rs->IsOpen() || rs->EOF_())
        return {};
    const Variant& v = rs->Fields(0).Value();
    return v.IsNull() ? "NULL" : v.ToText();
}

long CompanyQueries::Count(const std::string& sql) const {
    AppConnection db(OpenDatabase(CompanyPath()));
    return static_cast<long>(db.Execute(sql)->Fields(0).Value().ToInteger());
}

void CompanyQueries::Exec(const std::string& sql) const {
    AppConnection db(OpenDatabase(CompanyPath()));
    db.Execute(sql);
}

std::int32_t CompanyQueries::CustomerID(const std::string& number) const {
    return std::stoi(Scalar("SELECT FItemID FROM t_Organization WHERE FNumber='" + number + "'"));
}

std::int32_t CompanyQueries::ItemID(const std::string& number) const {
    return std::stoi(Scalar("SELECT FItemID FROM t_ICItem WHERE FNumber='" + number + "'"));
}

std::int32_t CompanyQueries::AddEntry(std::int32_t cust, std::int32_t item, double price, int used,
                                      double endQty) const {
    AppConnection db(OpenDatabase(CompanyPath()));
    const std::int32_t entry = db.GetICMaxNum("t_Cust");
    const std::string c = std::to_string(cust);
    const std::string i = std::to_string(item);
    db.Execute("IF NOT EXISTS (SELECT 1 FROM t_Cust WHERE FItemID=" + i + " AND FCustID=" + c +
               ") INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + i + "," + c + ")");
    db.Execute(
        "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
        "FPrice,FCyID,FDisCount,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) SELECT '0'," +
        std::to_string(entry) + "," + c + "," + i + ",FUnitID,0," + FormatDouble(endQty) + "," +
        FormatDouble(price) + ",1,0,0,'2024-01-01'," + std::to_string(used) +
        ",'2100-01-01','' FROM t_ICItem WHERE FItemID=" + i);
    return entry;
}

}  // namespace orva::test
