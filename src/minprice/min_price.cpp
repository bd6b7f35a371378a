#include "minprice/min_price.h"

#include <string>

#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"
#include "session/session.h"

namespace orva {
namespace {

// A field's value as a number, Null as 0.
double NumberOrZero(const Variant& value) {
    return value.IsNull() ? 0.0 : value.ToDouble();
}

// The first field of the first row as a number (Null as 0); 0 without a row.
double FirstNumber(const RecordsetPtr& rs) {
    if (!rs || !rs->IsOpen() || rs->EOF_() || rs->BOF())
        return 0.0;
    return NumberOrZero(rs->Fields(0).Value());
}

// The item's floor applies to every customer (FSalePriceFixingType 1).
bool ItemLevelFloor(AppConnection& db, std::int32_t itemID) {
    RecordsetPtr rs =
        db.Execute("Select FSalePriceFixingType from t_ICItem where FItemID=" + SqlId(itemID));
    if (!rs || !rs->IsOpen() || rs->EOF_() || rs->BOF())
        return false;
    return NumberOrZero(rs->Fields(0).Value()) == 1.0;
}

}  // namespace

bool ConvertByRate(ModuleContext& ctx, std::int32_t currencyID, double amount, double& result) {
    return ConvertByRate(ctx.Connection(), currencyID, amount, result);
}

bool ConvertByRate(AppConnection& db, std::int32_t currencyID, double amount, double& result) {
    RecordsetPtr rs = db.Execute(
        "select FOperator,FExchangeRate From t_currency Where FCurrencyID =" + SqlId(currencyID));
    if (!rs || !rs->IsOpen() || rs->EOF_()) {
        result = 0.0;
        return true;
    }
    const Variant& rateValue = rs->Fields("FExchangeRate").Value();
    double rate = rateValue.IsNull() ? 0.0 : rateValue.ToDouble();
    if (rate == 0.0)
        rate = 1.0;
    const Variant& op = rs->Fields("FOperator").Value();
    // Only an operator of exactly "/" divides; anything else multiplies.
    const bool divide = !op.IsNull() && op.ToText() == "/";
    result = divide ? amount / rate : amount * rate;
    rs->Close();
    return true;
}

bool GetSELowPrice(ModuleContext& ctx, std::int32_t custID, std::int32_t itemID, double& price) {
    price = 0.0;
    // Without a connection there is no floor.
    AppConnection* db = PassOver([&] { return &ctx.Connection(); }, nullptr);
    if (!db)
        return true;
    return GetSELowPrice(*db, custID, itemID, price);
}

bool GetSELowPrice(AppConnection& db, std::int32_t custID, std::int32_t itemID, double& price) {
    price = 0.0;
    const bool itemLevel = PassOver([&] { return ItemLevelFloor(db, itemID); }, false);

    std::string sql;
    if (itemLevel) {
        sql =
            SqlLines({"SELECT CASE WHEN RTRIM(t2.FOperator)='*' THEN "
                      "(ISNULL(t1.FSoLowPrc,0)*t2.FExchangeRate) ",
                      "  ELSE (ISNULL(t1.FSoLowPrc,0)/t2.FExchangeRate) END AS FSELowPrice ",
                      "FROM t_ICItem t1 INNER JOIN t_Currency t2 ON "
                      "t1.FSoLowPrcMnyType=t2.FCurrencyID",
                      "WHERE t1.FItemID=" + SqlId(itemID)});
    } else {
        sql =
            SqlLines({"SELECT CASE WHEN RTRIM(t2.FOperator)='*' THEN "
                      "ISNULL(t1.FSELowPrice,0)*t2.FExchangeRate",
                      " ELSE ISNULL(t1.FSELowPrice,0)/t2.FExchangeRate END AS FSELowPrice",
                      "FROM t_Cust t1 INNER JOIN t_Currency t2 ON t1.FCurrencyID=t2.FCurrencyID",
                      "WHERE t1.FCustID=" + SqlId(custID) + "And t1.FItemID=" + SqlId(itemID)});
    }
    // When the floor cannot be computed (for example a rate of 0 in its
    // currency makes the division fail) there is no floor: every price
    // passes.
    const bool computed = PassOver([&] {
        RecordsetPtr rs = db.Execute(sql);
        price = FirstNumber(rs);
        if (rs && rs->IsOpen())
            rs->Close();
    });
    if (!computed)
        price = 0.0;
    return true;
}

}  // namespace orva
