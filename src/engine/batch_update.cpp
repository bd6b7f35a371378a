// Batch update: a new price, lead time, effective date and note for the
// current unaudited entry of every member of a group that matches the grid's
// unit, quantity band, currency and expiry date: every customer of a
// customer group with the grid's item (BatchUpdate), or every item of an item
// group, each in its base unit, with the grid's customer (BatchUpdate_Item).
// Audited entries are never changed; the discount is never written. All
// statements are collected and sent as one text at the end, so a batch the
// user stops changes nothing.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/batch_progress.h"
#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "model/sql_values.h"
#include "session/res_text.h"

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

// The pieces of the statements that come from the grid.
struct GridTexts {
    std::string update;           // UPDATE ... SET the new values
    std::string gridUnit;         // the grid's unit
    std::string bandAndCurrency;  // the band, currency and expiry date to match
    std::string quoteFilter;      // filters of the grid's effective and expiry dates
    std::string expireFilter;
};

GridTexts ReadGridTexts(const Spread& grid, const std::string& expire) {
    const std::string quote = batch::CellDate(grid, kColValue, Row::kRowQuoteTime);
    const std::string assignments =
        " FPrice=" + SqlNumber(batch::StoredNumber(grid, Row::kRowPrice)) + "," + " FLeadTime='" +
        SqlNumber(batch::StoredNumber(grid, Row::kRowLeadTime)) + "'," +
        " FQuoteTime=" + SqlDate(quote) + "," +
        " FNote=" + SqlText(grid.GetText(kColText, Row::kRowNote));
    GridTexts t;
    t.gridUnit = SqlNumber(batch::StoredNumber(grid, Row::kRowUnit));
    t.bandAndCurrency =
        " AND FStartQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowStartQty)) +
        " AND FEndQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowEndQty)) +
        " AND FCyID=" + SqlNumber(batch::StoredNumber(grid, Row::kRowCurrency)) +
        " AND FExpireDate=" + SqlDate(expire) + " ";
    t.quoteFilter = " FQuoteTime=" + SqlDate(quote) + " ";
    t.expireFilter = "FExpireDate=" + SqlDate(expire);
    t.update = "UPDATE t_CustEntry SET  " + assignments + std::string(kCrLf);
    return t;
}

// The update of one member (`pair` picks its customer and item), or "" when
// no unaudited entry of it is the current one.
std::string MemberStatement(AppConnection& db, const GridTexts& t, const std::string& pair,
                            const std::string& unit) {
    const std::string crlf(kCrLf);
    std::string match = " AND FUnitID=" + unit + t.bandAndCurrency;
    RecordsetPtr candidates = db.GetAnyRecordset("SELECT * FROM t_CustEntry" + pair + match);
    match += " AND FUsed=0 ";
    if (!candidates || !candidates->IsOpen() || candidates->RecordCount() == 0)
        return {};

    const std::string statementA = t.update + pair + match + crlf;
    auto latestQuote = [&] {
        return MaxDate(
            db, "SELECT MAX(FQuoteTime) as FMaxQuote FROM t_CustEntry" + pair + match + crlf);
    };
    if (candidates->RecordCount() == 1) {
        candidates->Filter(" FUsed=0 ");
        return candidates->RecordCount() == 1 ? statementA : std::string();
    }
    const std::string gridDates = t.expireFilter + " And " + t.quoteFilter;
    candidates->Filter(gridDates);
    if (candidates->RecordCount() > 0) {
        // The grid's dates are taken: update only when that entry is
        // unaudited and its dates are the latest ones.
        candidates->Filter(gridDates + " And FUsed=1 ");
        if (candidates->RecordCount() > 0)
            return {};
        const std::string quoteMax = latestQuote();
        if (quoteMax.empty())
            return {};
        const std::string expireMax =
            MaxDate(db, "SELECT MAX(FExpireDate) as FExpireDate FROM t_CustEntry" + pair + match +
                            " AND FQuoteTime='" + quoteMax + "'" + crlf);
        if (expireMax.empty())
            return {};
        candidates->Filter(t.expireFilter + " And " + " FExpireDate='" + expireMax + "' " +
                           " And " + t.quoteFilter + " And " + " FQuoteTime='" + quoteMax + "' ");
        if (candidates->RecordCount() == 0)
            return {};
        return t.update + pair + crlf + match + " AND " + t.expireFilter + " AND " + t.quoteFilter +
               crlf;
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
    const std::string atLatest = " AND FQuoteTime='" + quoteMax + "'" + crlf;
    RecordsetPtr latest = db.GetAnyRecordset("SELECT * FROM t_CustEntry" + pair + match +
                                             "AND FQuoteTime='" + quoteMax + "'" + crlf);
    std::string statement = statementA + atLatest;
    if (!latest || latest->RecordCount() != 1) {
        statement += " AND FExpireDate=(SELECT MAX(FExpireDate) FROM t_CustEntry" + pair + match +
                     " AND FQuoteTime='" + quoteMax + "' )" + crlf;
    }
    return statement;
}

std::int32_t UpdateMembers(ModuleContext& ctx, const Spread& grid, const BatchUpdatePlan& plan,
                           std::int16_t alert) {
    const std::int32_t fixedID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowCustNumber : Row::kRowItemNumber);
    const std::int32_t groupID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowItemNumber : Row::kRowCustNumber);
    const std::string expire = batch::CellDate(grid, kColText, Row::kRowExpireDate);
    if (expire < batch::CellDate(grid, kColText, Row::kRowQuoteTime)) {
        batch::Notice(GetResText("失效日期必须大于生效日期"));
        return 0;
    }
    const GridTexts texts = ReadGridTexts(grid, expire);

    auto db = batch::NewConnection(ctx);
    RecordsetPtr members;
    plan.members(groupID, members);

    std::string text;
    std::int32_t count = 0;
    const std::vector<std::int32_t> ids = batch::MemberIDs(members);
    batch::MemberProgress progress(GetResText("批量修改"), ids, plan.itemGroup, *db,
                                   ctx.g_UseShortNumber);
    for (std::size_t i = 0; i < ids.size() && progress.Next(i); ++i) {
        const std::int32_t member = ids[i];
        const std::int32_t custID = plan.itemGroup ? fixedID : member;
        const std::int32_t itemID = plan.itemGroup ? member : fixedID;
        const std::string item = SqlId(itemID);
        std::string unit = texts.gridUnit;
        if (plan.itemGroup) {
            RecordsetPtr base = db->GetAnyRecordset(
                "select Isnull(FUnitID,0) as FUnitID from t_ICItem where FItemID=" + item);
            unit = HasRow(base) ? SqlNumber(Val(FieldText(*base, "FUnitID"))) : "0";
        }
        const std::string pair = " WHERE FCustID=" + SqlId(custID) + " AND FItemID=" + item;
        const std::string statement = MemberStatement(*db, texts, pair, unit);
        if (statement.empty())
            continue;
        if (alert != 0 && !plan.confirm(custID, itemID))
            continue;
        text += statement;
        ++count;
    }

    // The whole batch is one text: stopped by the user, none of it is sent.
    // Nothing qualified: there is nothing to send.
    const bool stopped = !progress.Finish();
    if (stopped)
        count = 0;
    else if (!text.empty())
        db->Execute(text);
    progress.End();
    batch::Notice(batch::ClosingText(
                      GetResText("此次共修改"), count, GetResText("条记录！"),
                      stopped ? GetResText("操作已被用户中止：没有修改任何记录。") : std::string()),
                  MsgButtons::kOK, MsgIcon::kInformation);
    return count;
}

std::int32_t RunBatchUpdate(ModuleContext& ctx, const Spread& grid, const BatchUpdatePlan& plan,
                            std::int16_t alert) {
    try {
        return UpdateMembers(ctx, grid, plan, alert);
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
    return RunBatchUpdate(ctx_, Grid(), plan, alertLowPrice);
}

std::int32_t UserDefInfo::BatchUpdate_Item(std::int16_t& alertLowPrice, double& basePrice) {
    BatchUpdatePlan plan;
    plan.itemGroup = true;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailItem(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchUpdate(ctx_, Grid(), plan, alertLowPrice);
}

}  // namespace orva
