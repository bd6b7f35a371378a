#include "qt/hostapp/host_app_quote.h"

#include <optional>
#include <ostream>
#include <utility>

#include "engine/price_quote.h"
#include "host/app_connection.h"
#include "host/db/db_backend.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/recordset.h"
#include "qt/hostapp/host_app_company.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva::qt {
namespace {

constexpr const char* kProgram = "orva-saleprice";

// A code the company does not have: a bad option, not a failure.
class UnknownCode : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

RecordsetPtr FirstRow(AppConnection& db, const std::string& sql) {
    RecordsetPtr rs = db.Execute(sql);
    return rs && !rs->EOF_() ? rs : nullptr;
}

struct FoundItem {
    std::int32_t id = 0;
    std::int32_t baseUnit = 0;
    std::int32_t unitGroup = 0;
};

// The customer, item, unit and currency the request names, by code.
PriceQuery FindQuery(AppConnection& db, const QuoteRequest& q) {
    const std::string code = ReadUseShortNumber(db) ? "FShortNumber" : "FNumber";
    PriceQuery query;
    RecordsetPtr rs = FirstRow(
        db, "SELECT FItemID FROM t_Organization WHERE " + code + "=" + SqlText(q.customer));
    if (!rs)
        throw UnknownCode(FillIn(GetResText("公司数据库中没有客户“%1”。"), {q.customer}));
    query.customerID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());

    rs = FirstRow(db, "SELECT FItemID,FUnitID,FUnitGroupID FROM t_ICItem WHERE " + code + "=" +
                          SqlText(q.item));
    if (!rs)
        throw UnknownCode(FillIn(GetResText("公司数据库中没有物料“%1”。"), {q.item}));
    query.itemID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    query.unitID = static_cast<std::int32_t>(rs->Fields(1).Value().ToInteger());
    const std::string unitGroup = SqlId(rs->Fields(2).Value().ToInteger());

    if (!q.unit.empty()) {
        // A unit of the item's unit group, by code or name.
        rs = FirstRow(db, "SELECT FMeasureUnitID FROM t_MeasureUnit WHERE FUnitGroupID=" +
                              unitGroup + " AND FDeleted<>1 AND (" + code + "=" + SqlText(q.unit) +
                              " OR FName=" + SqlText(q.unit) + ")");
        if (!rs) {
            throw UnknownCode(FillIn(GetResText("物料“%1”没有计量单位“%2”。"), {q.item, q.unit}));
        }
        query.unitID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    }
    if (!q.currency.empty()) {
        rs = FirstRow(db, "SELECT FCurrencyID FROM t_Currency WHERE FCurrencyID>0 AND FNumber=" +
                              SqlText(q.currency));
        if (!rs)
            throw UnknownCode(FillIn(GetResText("公司数据库中没有币别“%1”。"), {q.currency}));
        query.currencyID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    }
    query.quantity = q.quantity;
    query.day = q.day;
    return query;
}

void PrintEntry(const QuotedEntry& e, std::ostream& out) {
    out << "FEntryID=" << e.entryID << " FPrice=" << FormatDouble(e.price)
        << " FStartQty=" << FormatDouble(e.startQty) << " FEndQty=" << FormatDouble(e.endQty)
        << " FQuoteTime=" << e.quoteTime << " FExpireDate=" << e.expireDate << '\n';
}

}  // namespace

int RunQuote(const HostAppOptions& options, std::ostream& out, std::ostream& err) {
    const QuoteRequest& request = *options.quote;
    std::optional<AppConnection> db;
    try {
        OpenedCompany company = OpenCompany(options.database);
        if (company.created) {
            err << kProgram << ": "
                << FillIn(GetResText("已创建演示公司数据库：%1"), {company.connection}) << '\n';
        }
        db.emplace(std::move(company.backend));
        const PriceQuote quote = QuotePrice(*db, FindQuery(*db, request));
        for (const QuotedEntry& e : quote.entries) PrintEntry(e, out);
        out.flush();
        switch (quote.status) {
            case QuoteStatus::kApplies:
                return kExitOk;
            case QuoteStatus::kNone:
                err << kProgram << ": " << GetResText("没有适用的价格资料。") << '\n';
                return kExitQuoteNone;
            case QuoteStatus::kAmbiguous:
                err << kProgram << ": "
                    << FillIn(GetResText("有 %1 条价格资料同时适用，价格不唯一。"),
                              {std::to_string(quote.entries.size())})
                    << '\n';
                return kExitQuoteAmbiguous;
        }
    } catch (const UnknownCode& e) {
        err << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help'.\n";
        return kExitUsage;
    } catch (const std::runtime_error& e) {
        err << kProgram << ": " << e.what() << '\n';
    }
    return kExitQuoteFailure;
}

}  // namespace orva::qt
