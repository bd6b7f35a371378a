#include "browse/frm_adjust_prices.h"

#include <map>
#include <stdexcept>

#include "engine/batch_values.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "session/session.h"

namespace orva {
namespace {

std::optional<Date> DayOf(const std::string& text) {
    std::optional<Date> day = Date::Parse(Trim(text));
    if (day && !day->IsValid())
        return std::nullopt;
    return day;
}

}  // namespace

frmAdjustPrices::frmAdjustPrices(ModuleContext& ctx, bool byItem, TreeNodeKey node,
                                 std::string nodeText)
    : ctx_(ctx), byItem_(byItem), node_(node), nodeText_(std::move(nodeText)) {}

void frmAdjustPrices::Load() {
    entries_ = AdjustScopeEntries(ctx_, byItem_, node_);
    std::map<std::int32_t, std::string> units, currencies;
    for (const AdjustEntry& e : entries_) {
        units.emplace(e.unitID, e.unitName);
        currencies.emplace(e.currencyID, e.currencyName);
    }
    units_.clear();
    currencies_.clear();
    for (const auto& [id, name] : units) units_.push_back({id, name});
    for (const auto& [id, name] : currencies) currencies_.push_back({id, name});
    in_.validOn = in_.effective = Date::Today().ToText();
    changes_.Emit();
}

void frmAdjustPrices::Refuse(const std::string& text) {
    plan_ = AdjustPlan();
    changes_.Emit();
    batch::Notice(ctx_, text, MsgButtons::kOK, MsgIcon::kExclamation);
}

bool frmAdjustPrices::Preview() {
    PriceChange change;
    change.kind = in_.kind;
    const std::optional<double> value = ParseNumber(Trim(in_.value));
    const std::optional<double> step = ParseNumber(Trim(in_.roundTo));
    if (!value || !step) {
        Refuse(GetResText("调整值和舍入单位必须是数字。"));
        return false;
    }
    change.value = *value;
    change.roundTo = *step;
    const std::optional<Date> validOn = DayOf(in_.validOn);
    const std::optional<Date> effective = DayOf(in_.effective);
    if (!validOn || (in_.way == AdjustWay::kNewFromDay && !effective)) {
        Refuse(GetResText("日期无效。"));
        return false;
    }
    AdjustFilter filter;
    filter.unitID = in_.unitID;
    filter.currencyID = in_.currencyID;
    filter.validOn = *validOn;
    PlanOrRefusal planned = PlanAdjustment(FilterAdjustEntries(entries_, filter), change, in_.way,
                                           effective.value_or(*validOn));
    if (!planned.refusal.empty()) {
        Refuse(planned.refusal);
        return false;
    }
    plan_ = std::move(planned.plan);
    CheckFloors(ctx_.Connection(), plan_);
    changes_.Emit();
    return true;
}

std::string frmAdjustPrices::CountsText() const {
    std::string text =
        GetResText("共 %1 条价格：调整 %2 条，已审核保留不变 %3 条，低于最低限价 %4 条。");
    text = ReplaceAll(text, "%1", std::to_string(plan_.rows.size()));
    text = ReplaceAll(text, "%2", std::to_string(plan_.ToWrite()));
    text = ReplaceAll(text, "%3", std::to_string(plan_.LeftAudited()));
    return ReplaceAll(text, "%4", std::to_string(plan_.BelowFloor()));
}

void frmAdjustPrices::CmdOKClick() {
    result_ = AdjustResult();
    if (!Preview())
        return;
    if (plan_.ToWrite() == 0) {
        batch::Notice(ctx_, GetResText("所选价格都已审核，没有可以调整的价格。"), MsgButtons::kOK,
                      MsgIcon::kInformation);
        return;
    }
    const std::string question = ReplaceAll(GetResText("本次操作将调整 %1 条价格，是否继续？"),
                                            "%1", std::to_string(plan_.ToWrite()));
    if (batch::Notice(ctx_, question, MsgButtons::kYesNo, MsgIcon::kQuestion) != MsgResult::kYes)
        return;

    const bool alert = GetSysProfile(ctx_, "AlertSELowPrice") != 0;
    auto db = batch::NewConnection(ctx_);
    result_ = WriteAdjustment(ctx_, *db, plan_, alert, byItem_, GetResText("调整价格"));

    std::string text =
        batch::CountText(GetResText("此次共调整"), static_cast<std::int64_t>(result_.written),
                         GetResText("条记录！"));
    if (result_.stopped)
        text += "\n" + GetResText("操作已被用户中止：已调整的记录保留，其余没有调整。");
    if (!result_.error.empty()) {
        ctx_.Ui().DetailedMessageBox(text + "\n" + GetResText("调整价格出错！"), result_.error,
                                     MsgButtons::kOK, MsgIcon::kExclamation,
                                     GetResText("Tesmar提示"));
    } else {
        batch::Notice(ctx_, text, MsgButtons::kOK, MsgIcon::kInformation);
    }
    Hide();
}

}  // namespace orva
