#include "engine/price_adjust.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/batch_values.h"
#include "engine/price_entry.h"
#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/durable_batch.h"
#include "host/progress.h"
#include "minprice/min_price.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {
namespace {

// A row's entry as the price store takes it.
PriceEntry StoreEntry(const AdjustEntry& e) {
    PriceEntry p;
    p.entryID = e.entryID;
    p.custID = SqlId(e.custID);
    p.itemID = SqlId(e.itemID);
    p.unitID = SqlId(e.unitID);
    p.startQty = SqlNumber(e.startQty);
    p.endQty = SqlNumber(e.endQty);
    p.price = SqlNumber(e.price);
    p.currencyID = SqlId(e.currencyID);
    p.discount = SqlNumber(e.discount);
    p.leadTime = SqlNumber(e.leadTime);
    p.quoteTime = e.quoteTime.ToText();
    p.used = e.audited ? "1" : "0";
    p.expireDate = e.expireDate.ToText();
    p.note = e.note;
    return p;
}

// "code(name)" of a row's customer and item, as refusals list them.
std::string RowName(const AdjustEntry& e) {
    return e.custNumber + "(" + e.custName + ") / " + e.itemNumber + "(" + e.itemName + ")";
}

// A refusal naming the first rows it is about (at most five, then "...").
std::string Refusal(const std::string& reason, const std::vector<const AdjustEntry*>& rows) {
    std::string text = reason;
    for (std::size_t i = 0; i < rows.size() && i < 5; ++i) text += "\n" + RowName(*rows[i]);
    if (rows.size() > 5)
        text += "\n...";
    return text;
}

}  // namespace

double AdjustedPrice(const PriceChange& change, double price) {
    const double raw = change.kind == PriceChange::kPercent ? price * (1 + change.value / 100)
                                                            : price + change.value;
    const double step = change.roundTo;
    if (step <= 0)
        return raw;
    // The quotient nudged away from zero, so that a half that binary
    // fractions hold just below .5 (10.005 / 0.01) still rounds up.
    const double q = raw / step;
    const double n = std::round(q + (q >= 0 ? 1e-9 : -1e-9));
    // A step below 1 divides by its inverse, which keeps 1001 / 100 at 10.01.
    if (step < 1) {
        const double inverse = std::round(1 / step);
        if (std::fabs(inverse * step - 1) < 1e-12)
            return n / inverse;
    }
    return n * step;
}

std::size_t AdjustPlan::ToWrite() const {
    return static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), [](const AdjustRow& r) {
        return r.action != AdjustRow::kLeftAudited;
    }));
}

std::size_t AdjustPlan::BelowFloor() const {
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const AdjustRow& r) { return r.belowFloor; }));
}

PlanOrRefusal PlanAdjustment(const std::vector<AdjustEntry>& entries, const PriceChange& change,
                             AdjustWay way, const Date& day) {
    PlanOrRefusal out;
    if (entries.empty()) {
        out.refusal = GetResText("没有符合条件的价格，无法调整。");
        return out;
    }
    if (change.kind == PriceChange::kPercent && change.value <= -100) {
        out.refusal = GetResText("调整百分比必须大于-100%。");
        return out;
    }
    if (!(change.roundTo > 0)) {
        out.refusal = GetResText("舍入单位必须大于零。");
        return out;
    }
    out.plan.way = way;
    out.plan.day = day;
    std::vector<const AdjustEntry*> notPositive, badDay;
    for (const AdjustEntry& e : entries) {
        AdjustRow row;
        row.entry = e;
        row.newPrice = AdjustedPrice(change, e.price);
        if (e.audited)
            row.action = AdjustRow::kLeftAudited;
        else
            row.action = way == AdjustWay::kInPlace ? AdjustRow::kChange : AdjustRow::kSupersede;
        // An audited entry keeps its price, so its new one cannot refuse the input.
        if (row.action != AdjustRow::kLeftAudited && row.newPrice <= 0)
            notPositive.push_back(&e);
        // Both the old entry and its successor must keep at least one day in force.
        if (row.action == AdjustRow::kSupersede && (day <= e.quoteTime || day >= e.expireDate))
            badDay.push_back(&e);
        out.plan.rows.push_back(std::move(row));
    }
    if (!notPositive.empty())
        out.refusal = Refusal(GetResText("调整和舍入后的价格必须大于零："), notPositive);
    else if (!badDay.empty())
        out.refusal = Refusal(
            GetResText("新价格的生效日期必须晚于原价格的生效日期，并早于其失效日期："), badDay);
    if (!out.refusal.empty())
        out.plan.rows.clear();
    return out;
}

void CheckFloors(AppConnection& db, AdjustPlan& plan) {
    PriceStore store(db);
    for (AdjustRow& row : plan.rows) {
        if (row.action == AdjustRow::kLeftAudited)
            continue;
        // As the editor's save checks a price: into the base currency, then
        // per base unit through the unit's coefficient.
        double base = 0;
        ConvertByRate(db, row.entry.currencyID, row.newPrice, base);
        PriceStore::FloorQuery query;
        query.custID = row.entry.custID;
        query.itemID = row.entry.itemID;
        query.basePrice = base;
        query.unitID = SqlId(row.entry.unitID);
        query.coefficientFirst = true;
        row.belowFloor = store.CheckFloor(query).kind == PriceOutcome::kBelowFloor;
    }
}

AdjustResult WriteAdjustment(ModuleContext& ctx, AppConnection& db, const AdjustPlan& plan,
                             bool alertLowPrice, bool byItem, const std::string& caption) {
    AdjustResult result;
    PriceStore store(db);
    const std::string day = plan.day.ToText();
    std::vector<const AdjustRow*> rows;
    for (const AdjustRow& row : plan.rows)
        if (row.action != AdjustRow::kLeftAudited)
            rows.push_back(&row);

    ProgressScope progress(caption, static_cast<std::int64_t>(rows.size()));
    // Each entry is written on its own; the count is told once all are on
    // disk.
    DurableBatch durable(db.Backend());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AdjustRow& row = *rows[i];
        const AdjustEntry& e = row.entry;
        if (!progress.Step(static_cast<std::int64_t>(i),
                           progress.TextWanted() ? RowName(e) : std::string())) {
            result.stopped = true;
            break;
        }
        if (alertLowPrice && row.belowFloor) {
            const std::string question =
                (byItem ? e.itemNumber + "(" + e.itemName : e.custNumber + "(" + e.custName) +
                GetResText(")的价格资料已经低于设定的销售最低限价，是否继续保存？");
            if (batch::Notice(ctx, question, MsgButtons::kYesNo, MsgIcon::kQuestion) !=
                MsgResult::kYes) {
                ++result.skipped;
                continue;
            }
        }
        PriceOutcome outcome;
        if (row.action == AdjustRow::kChange) {
            outcome = store.SetPrice(e.entryID, row.newPrice);
        } else {
            std::int32_t newID = 0;
            outcome = store.Supersede(StoreEntry(e), row.newPrice, day, newID);
        }
        if (outcome.kind == PriceOutcome::kDatabaseError ||
            outcome.kind == PriceOutcome::kNoNumber) {
            result.error = outcome.error.empty() ? GetResText("取最大号失败。") : outcome.error;
            break;
        }
        if (outcome.Written())
            ++result.written;
        else
            ++result.skipped;
    }
    try {
        durable.Finish();
    } catch (const std::runtime_error& e) {
        if (result.error.empty())
            result.error = e.what();
    }
    progress.End();
    return result;
}

}  // namespace orva
