// frmAdjustPrices, the "调整价格" dialog of the browse window: the prices of
// the entries under the selected tree node raised or lowered by a
// percentage or an amount, rounded to a step, chosen by unit, currency and
// a day they are in force on; changed in place or replaced by new entries
// from an effective day (engine/price_adjust.h). The preview lists every
// entry, old price to new, with what happens to it and the floor check;
// OK checks the input again, asks once and writes under a progress.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browse/adjust_scope.h"
#include "browse/tvw_builder.h"
#include "engine/price_adjust.h"
#include "host/controls/signal.h"
#include "host/modal_window.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {

class frmAdjustPrices : public ModalWindow {
  public:
    static constexpr const char* kWindowName = "frmAdjustPrices";

    // What the user sets, as typed.
    struct Inputs {
        PriceChange::Kind kind = PriceChange::kPercent;
        std::string value;             // the percentage or the amount
        std::string roundTo = "0.01";  // 0.01, 0.1, 1 or a step such as 5
        std::int32_t unitID = 0;       // 0: every unit
        std::int32_t currencyID = 0;   // 0: every currency
        std::string validOn;           // entries in force on this day
        AdjustWay way = AdjustWay::kInPlace;
        std::string effective;  // the new entries' effective date
    };

    // A unit or currency the entries under the node use.
    struct Choice {
        std::int32_t id = 0;
        std::string name;
    };

    // The node of the tree (byItem: the item tree) and its text.
    frmAdjustPrices(ModuleContext& ctx, bool byItem, TreeNodeKey node, std::string nodeText);

    std::string WindowName() const override { return kWindowName; }

    // Reads the entries under the node (with the user's data rights) and the
    // units and currencies they use; both days are today.
    void Load();

    const std::string& NodeText() const { return nodeText_; }
    const std::vector<Choice>& Units() const { return units_; }
    const std::vector<Choice>& Currencies() const { return currencies_; }
    Inputs& In() { return in_; }

    // Plans the adjustment for the inputs and checks the floors: false, with
    // the reason shown in a message box, when the input is refused.
    bool Preview();
    const AdjustPlan& Plan() const { return plan_; }
    // "共 n 条价格：..." for the preview (localised).
    std::string CountsText() const;

    // Previews again; when the input passes and there is something to
    // write, asks once, writes and says how many entries were adjusted, then
    // closes. Refused, declined or with nothing to write, it stays open.
    void CmdOKClick();
    void CmdCancelClick() { Hide(); }
    // What the last OK wrote.
    const AdjustResult& Result() const { return result_; }

    // A change of the choices or the preview.
    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changes_.Subscribe(std::move(fn));
    }

  private:
    void Refuse(const std::string& text);

    ModuleContext& ctx_;
    bool byItem_;
    TreeNodeKey node_;
    std::string nodeText_;
    std::vector<AdjustEntry> entries_;
    std::vector<Choice> units_, currencies_;
    Inputs in_;
    AdjustPlan plan_;
    AdjustResult result_;
    Signal<> changes_;
};

}  // namespace orva
