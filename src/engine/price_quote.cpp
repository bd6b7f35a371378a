#include "engine/price_quote.h"

#include "host/app_connection.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"

namespace orva {

std::string QuoteSql(const PriceQuery& q) {
    const std::string day = q.day ? SqlDate(*q.day) : SqlToday();
    const std::string qty = SqlNumber(q.quantity);
    // Dates are held as yyyy-mm-dd text, so the period compares as text, as
    // the sales bill's ledger does: in force from FQuoteTime, no longer on
    // FExpireDate. A band ending at 0 (the editor's 0 to 0) holds any
    // quantity from its start.
    return SqlLines(
        {"SELECT FEntryID,FPrice,FStartQty,FEndQty,FQuoteTime,FExpireDate",
         " FROM t_CustEntry WHERE FCustID=" + SqlId(q.customerID) +
             " AND FItemID=" + SqlId(q.itemID),
         " AND FUnitID=" + SqlId(q.unitID) + " AND FCyID=" + SqlId(q.currencyID) + " AND FUsed=1",
         " AND FQuoteTime<=" + day + " AND FExpireDate>" + day,
         " AND FStartQty<=" + qty + " AND (FEndQty>=" + qty + " OR FEndQty=0)",
         " ORDER BY FEntryID"});
}

PriceQuote QuotePrice(AppConnection& db, const PriceQuery& query) {
    PriceQuote quote;
    RecordsetPtr rs = db.Execute(QuoteSql(query));
    for (; rs && !rs->EOF_(); rs->MoveNext()) {
        QuotedEntry e;
        e.entryID = static_cast<std::int32_t>(rs->Fields("FEntryID").Value().ToInteger());
        e.price = rs->Fields("FPrice").Value().ToDouble();
        e.startQty = rs->Fields("FStartQty").Value().ToDouble();
        e.endQty = rs->Fields("FEndQty").Value().ToDouble();
        const auto date = [&rs](const char* column) {
            const Variant& v = rs->Fields(column).Value();
            const std::optional<Date> d = v.ToDate();
            return d ? d->ToText() : v.ToText();
        };
        e.quoteTime = date("FQuoteTime");
        e.expireDate = date("FExpireDate");
        quote.entries.push_back(std::move(e));
    }
    quote.status = quote.entries.empty()       ? QuoteStatus::kNone
                   : quote.entries.size() == 1 ? QuoteStatus::kApplies
                                               : QuoteStatus::kAmbiguous;
    return quote;
}

}  // namespace orva
