// Batch update: a new price, lead time, effective date and note for the
// current unaudited entry of every member of a group that matches the grid's
// unit, quantity band, currency and expiry date: every customer of a
// customer group with the grid's item (BatchUpdate), or every item of an item
// group, each in its base unit, with the grid's customer (BatchUpdate_Item).
// Audited entries are never changed; the discount is never written. All
// statements are collected and sent as one text at the end; when the user
// stops the batch, the text of the members looked at so far.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "engine/batch_progress.h"
#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "model/sql_values.h"
#include "resources/res_text.h"

namespace orva {
namespace {

using Row = UserDefInfo::Row;
constexpr std::int32_t kColText = UserDefInfo::kColText;
constexpr std::int32_t kColValue = UserDefInfo::kColValue;

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

struct BatchUpdatePlan {
    bool itemGroup = false;  // members are items (in their base units)
    std::function<void(std::int32_t, RecordsetPtr&)> members;
    std::function<bool(std::int32_t, std::int32_t)> confirm;  // (customer, item)
};

std::int32_t RunBatchUpdate(const Spread& grid, const BatchUpdatePlan& plan, std::int16_t alert) {
    const std::string crlf(kCrLf);
    try {
        const std::int32_t fixedID =
            batch::StoredId(grid, plan.itemGroup ? Row::kRowCustNumber : Row::kRowItemNumber);
        const std::int32_t groupID =
            batch::StoredId(grid, plan.itemGroup ? Row::kRowItemNumber : Row::kRowCustNumber);
        const std::string expire = batch::CellDate(grid, kColText, Row::kRowExpireDate);
        if (expire < batch::CellDate(grid, kColText, Row::kRowQuoteTime)) {
            batch::Notice(GetResText("失效日期必须大于生效日期"));
            return 0;
        }

        const std::string quote = batch::CellDate(grid, kColValue, Row::kRowQuoteTime);
        const std::string assignments =
            " FPrice=" + SqlNumber(batch::StoredNumber(grid, Row::kRowPrice)) + "," +
            " FLeadTime='" + SqlNumber(batch::StoredNumber(grid, Row::kRowLeadTime)) + "'," +
            " FQuoteTime=" + SqlDate(quote) + "," +
            " FNote=" + SqlText(grid.GetText(kColText, Row::kRowNote));
        const std::string gridUnit = SqlNumber(batch::StoredNumber(grid, Row::kRowUnit));
        const std::string bandAndCurrency =
            " AND FStartQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowStartQty)) +
            " AND FEndQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowEndQty)) +
            " AND FCyID=" + SqlNumber(batch::StoredNumber(grid, Row::kRowCurrency)) +
            " AND FExpireDate=" + SqlDate(expire) + " ";
        const std::string quoteFilter = " FQuoteTime=" + SqlDate(quote) + " ";
        const std::string expireFilter = "FExpireDate=" + SqlDate(expire);
        const std::string update = "UPDATE t_CustEntry SET  " + assignments + crlf;

        auto db = batch::NewConnection();
        RecordsetPtr members;
        plan.members(groupID, members);

        std::string text;
        std::int32_t count = 0;
        const std::vector<std::int32_t> ids = batch::MemberIDs(members);
        batch::MemberProgress progress(GetResText("批量修改"), ids, plan.itemGroup, *db);
        for (std::size_t i = 0; i < ids.size() && progress.Next(i); ++i) {
            const std::int32_t member = ids[i];
            const std::int32_t custID = plan.itemGroup ? fixedID : member;
            const std::int32_t itemID = plan.itemGroup ? member : fixedID;
            const std::string cust = SqlId(custID);
            const std::string item = SqlId(itemID);
            std::string unit = gridUnit;
            if (plan.itemGroup) {
                RecordsetPtr base = db->GetAnyRecordset(
                    "select Isnull(FUnitID,0) as FUnitID from t_ICItem where FItemID=" + item);
                unit = HasRow(base) ? SqlNumber(Val(FieldText(*base, "FUnitID"))) : "0";
            }
            const std::string pair = " WHERE FCustID=" + cust + " AND FItemID=" + item;
            std::string match = " AND FUnitID=" + unit + bandAndCurrency;
            const std::string candidatesSql = "SELECT * FROM t_CustEntry" + pair + match;

            RecordsetPtr candidates = db->GetAnyRecordset(candidatesSql);
            match += " AND FUsed=0 ";
            if (!candidates || !candidates->IsOpen() || candidates->RecordCount() == 0)
                continue;

            const std::string statementA = update + pair + match + crlf;
            auto latestQuote = [&] {
                return MaxDate(*db, "SELECT MAX(FQuoteTime) as FMaxQuote FROM t_CustEntry" + pair +
                                        match + crlf);
            };

            std::string statement;
            if (candidates->RecordCount() == 1) {
                candidates->Filter(" FUsed=0 ");
                if (candidates->RecordCount() == 1)
                    statement = statementA;
            } else {
                const std::string gridDates = expireFilter + " And " + quoteFilter;
                candidates->Filter(gridDates);
                if (candidates->RecordCount() > 0) {
                    // The grid's dates are taken: update only when that entry
                    // is unaudited and its dates are the latest ones.
                    candidates->Filter(gridDates + " And FUsed=1 ");
                    if (candidates->RecordCount() > 0)
                        continue;
                    const std::string quoteMax = latestQuote();
                    if (quoteMax.empty())
                        continue;
                    const std::string expireMax = MaxDate(
                        *db, "SELECT MAX(FExpireDate) as FExpireDate FROM t_CustEntry" + pair +
                                 match + " AND FQuoteTime='" + quoteMax + "'" + crlf);
                    if (expireMax.empty())
                        continue;
                    candidates->Filter(expireFilter + " And " + " FExpireDate='" + expireMax +
                                       "' " + " And " + quoteFilter + " And " + " FQuoteTime='" +
                                       quoteMax + "' ");
                    if (candidates->RecordCount() > 0) {
                        statement = update + pair + crlf + match + " AND " + expireFilter +
                                    " AND " + quoteFilter + crlf;
                    }
                } else {
                    candidates->Filter(" FUsed=0 ");
                    const long unaudited = candidates->RecordCount();
                    if (unaudited == 1) {
                        statement = statementA;
                    } else if (unaudited > 1) {
                        // The latest effective date wins; among entries that
                        // share it, the latest expiry date.
                        const std::string quoteMax = latestQuote();
                        if (quoteMax.empty())
                            continue;
                        const std::string atLatest = " AND FQuoteTime='" + quoteMax + "'" + crlf;
                        RecordsetPtr latest =
                            db->GetAnyRecordset("SELECT * FROM t_CustEntry" + pair + match +
                                                "AND FQuoteTime='" + quoteMax + "'" + crlf);
                        statement = statementA + atLatest;
                        if (!latest || latest->RecordCount() != 1) {
                            statement +=
                                " AND FExpireDate=(SELECT MAX(FExpireDate) FROM "
                                "t_CustEntry" +
                                pair + match + " AND FQuoteTime='" + quoteMax + "' )" + crlf;
                        }
                    }
                }
            }
            if (statement.empty())
                continue;
            if (alert != 0 && !plan.confirm(custID, itemID))
                continue;
            text += statement;
            ++count;
        }

        // Nothing qualified: there is nothing to send. Stopped by the user,
        // the members looked at so far are updated.
        if (!text.empty())
            db->Execute(text);
        progress.End();
        batch::Notice(batch::ClosingText(GetResText("此次共修改"), count, GetResText("条记录！"),
                                         progress.Stopped()),
                      MsgButtons::kOK, MsgIcon::kInformation);
        return count;
    } catch (const std::runtime_error&) {
        batch::Notice(GetResText("批量修改出错！"), MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
}

}  // namespace

std::int32_t UserDefInfo::BatchUpdate(std::int16_t& alertLowPrice, double& basePrice) {
    BatchUpdatePlan plan;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailCust(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchUpdate(Grid(), plan, alertLowPrice);
}

std::int32_t UserDefInfo::BatchUpdate_Item(std::int16_t& alertLowPrice, double& basePrice) {
    BatchUpdatePlan plan;
    plan.itemGroup = true;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailItem(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchUpdate(Grid(), plan, alertLowPrice);
}

}  // namespace orva
