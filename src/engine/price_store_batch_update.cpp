// The batch update's part of the price store: which stored entry of a
// member is the current unaudited one that the batch's new price goes to,
// and the statement that changes it.
#include <string>

#include "engine/engine_values.h"
#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "model/sql_values.h"
#include "orvasaleprice/variant.h"

namespace orva {
namespace {

const std::string kNewLine(kCrLf);

// The date of the first field of a MAX query, "yyyy-mm-dd"; "" for Null or
// no row.
std::string MaxDate(AppConnection& db, const std::string& sql) {
    RecordsetPtr rs = db.GetAnyRecordset(sql);
    if (!HasRow(rs))
        return {};
    const Variant& v = rs->Fields(0).Value();
    if (v.IsNull())
        return {};
    if (auto date = v.ToDate())
        return date->ToText();
    return TrimmedText(v);
}

}  // namespace

// --- Batch update -----------------------------------------------------------------

PriceStore::UpdateTexts PriceStore::RenderUpdate(const PriceEntry& batch) {
    const std::string quote = SqlDate(Trim(batch.quoteTime));
    const std::string expire = SqlDate(Trim(batch.expireDate));
    const std::string assignments = " FPrice=" + SqlNumber(Val(batch.price)) + "," +
                                    " FLeadTime='" + SqlNumber(Val(batch.leadTime)) + "'," +
                                    " FQuoteTime=" + quote + "," + " FNote=" + SqlText(batch.note);
    UpdateTexts t;
    t.gridUnit = SqlNumber(Val(batch.unitID));
    t.bandAndCurrency = " AND FStartQty=" + SqlNumber(Val(batch.startQty)) +
                        " AND FEndQty=" + SqlNumber(Val(batch.endQty)) +
                        " AND FCyID=" + SqlNumber(Val(batch.currencyID)) +
                        " AND FExpireDate=" + expire + " ";
    t.quoteFilter = " FQuoteTime=" + quote + " ";
    t.expireFilter = "FExpireDate=" + expire;
    t.update = "UPDATE t_CustEntry SET  " + assignments + kNewLine;
    return t;
}

std::string PriceStore::MemberUpdate(const UpdateTexts& t, std::int32_t custID, std::int32_t itemID,
                                     const std::string& unit) {
    const std::string pair = " WHERE FCustID=" + SqlId(custID) + " AND FItemID=" + SqlId(itemID);
    std::string match = " AND FUnitID=" + unit + t.bandAndCurrency;
    RecordsetPtr candidates = db_.GetAnyRecordset("SELECT * FROM t_CustEntry" + pair + match);
    // Every statement from here on matches unaudited entries only.
    match += " AND FUsed=0 ";
    if (!candidates || !candidates->IsOpen() || candidates->RecordCount() == 0)
        return {};

    const std::string statementA = t.update + pair + match + kNewLine;
    auto latestQuote = [&] {
        return MaxDate(
            db_, "SELECT MAX(FQuoteTime) as FMaxQuote FROM t_CustEntry" + pair + match + kNewLine);
    };
    if (candidates->RecordCount() == 1) {
        candidates->Filter(" FUsed=0 ");
        return candidates->RecordCount() == 1 ? statementA : std::string();
    }
    const std::string gridDates = t.expireFilter + " And " + t.quoteFilter;
    candidates->Filter(gridDates);
    if (candidates->RecordCount() > 0) {
        // The batch's dates are taken: update only when that entry is
        // unaudited and its dates are the latest ones.
        candidates->Filter(gridDates + " And FUsed=1 ");
        if (candidates->RecordCount() > 0)
            return {};
        const std::string quoteMax = latestQuote();
        if (quoteMax.empty())
            return {};
        const std::string expireMax =
            MaxDate(db_, "SELECT MAX(FExpireDate) as FExpireDate FROM t_CustEntry" + pair + match +
                             " AND FQuoteTime='" + quoteMax + "'" + kNewLine);
        if (expireMax.empty())
            return {};
        candidates->Filter(t.expireFilter + " And " + " FExpireDate='" + expireMax + "' " +
                           " And " + t.quoteFilter + " And " + " FQuoteTime='" + quoteMax + "' ");
        if (candidates->RecordCount() == 0)
            return {};
        return t.update + pair + kNewLine + match + " AND " + t.expireFilter + " AND " +
               t.quoteFilter + kNewLine;
    }
    candidates->Filter(" FUsed=0 ");
    const long unaudited = candidates->RecordCount();
    if (unaudited == 1)
        return statementA;
    if (unaudited < 2)
        return {};
    // The latest effective date wins; among entries that share it, the
    // latest expiry date.
    const std::string quoteMax = latestQuote();
    if (quoteMax.empty())
        return {};
    const std::string atLatest = " AND FQuoteTime='" + quoteMax + "'" + kNewLine;
    RecordsetPtr latest = db_.GetAnyRecordset("SELECT * FROM t_CustEntry" + pair + match +
                                              "AND FQuoteTime='" + quoteMax + "'" + kNewLine);
    std::string statement = statementA + atLatest;
    if (!latest || latest->RecordCount() != 1) {
        statement += " AND FExpireDate=(SELECT MAX(FExpireDate) FROM t_CustEntry" + pair + match +
                     " AND FQuoteTime='" + quoteMax + "' )" + kNewLine;
    }
    return statement;
}

}  // namespace orva
