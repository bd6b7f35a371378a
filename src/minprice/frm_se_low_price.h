// frmSELowPrice, the minimum price dialog: sets the minimum sale price of one
// item, either for one customer (its t_Cust row) or for all customers (every
// t_Cust row of the item, and the item-level price in t_ICItem, which then
// applies). The caller fills the properties, shows the dialog modally through
// the user interface and releases it.
//
// Controls, as the view draws them: the customer, item and currency boxes;
// the currency lookup button (F7 or F8 in the currency box do the same; any
// other key there is discarded); a one-cell numeric grid holding the price;
// the options "所有客户" and "当前客户"; OK and Cancel. The dialog shows no
// messages of its own: a failing save is passed over and the dialog closes
// as after a successful one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/controls/signal.h"
#include "host/controls/spread.h"
#include "host/dictionary.h"
#include "host/key_codes.h"
#include "host/localizable_form.h"
#include "host/modal_window.h"
#include "host/settings_store.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {

class frmSELowPrice : public ModalWindow, public LocalizableForm {
  public:
    // The saved setting written on OK: whether the all-customers option was
    // chosen, as "True" or "False".
    static constexpr const char* kSettingsApp = "OrvaSalePrice";
    static constexpr const char* kSettingsSection = "InterFaceSetting";
    static constexpr const char* kSettingsKey = "EffectAllCust";
    static SettingKey<bool> EffectAllCust() {
        return {kSettingsApp, kSettingsSection, kSettingsKey, false};
    }

    // The captions, as designed; LoadFormRes translates them in place.
    struct Captions {
        std::string caption = N_("销售最低限价");
        std::string lblSupply = N_("客    户：");
        std::string lblItem = N_("物    料：");
        std::string lblCurrency = N_("币    别：");
        std::string lblPOHighPrice = N_("最低限价：");
        std::string optAllCust = N_("所有客户");
        std::string optSingleCust = N_("当前客户");
        std::string cmdOK = N_("确定(Y)");
        std::string cmdCancel = N_("取消(N)");
        std::string lblNote = N_(
            "销售限价，只能对同一个客户或者所有客户在同一个物料下的设置最低限价，可以是不同币别下的"
            "最低限价。");
    };

    explicit frmSELowPrice(ModuleContext& ctx);

    std::string WindowName() const override { return "frmSELowPrice"; }

    // --- Properties, set before the dialog is shown ----------------------
    void SetCustID(std::int32_t id) { custID_ = id; }
    void SetCustNumberName(std::string_view text) { custNumberName_.assign(text); }
    void SetItemID(std::int32_t id) { itemID_ = id; }
    void SetItemNumberName(std::string_view text) { itemNumberName_.assign(text); }
    // The minimum price's currency; the currency lookup replaces both.
    void SetCurrencyID(std::int32_t id) { currencyID_ = id; }
    void SetCurrencyName(std::string_view text) { currencyName_.assign(text); }
    // The current minimum price, shown in the price cell.
    void SetPOHighPrice(double price) { poHighPrice_ = price; }

    std::int32_t CurrencyID() const { return currencyID_; }
    const std::string& CurrencyName() const { return currencyName_; }

    // --- Life -------------------------------------------------------------
    // The load handler: translates the captions, fills the boxes, reads the
    // item's price-fixing type and price decimals, puts the price in the
    // cell and selects the all-customers option when the item-level price
    // applies.
    void Load();

    // --- What the view shows ---------------------------------------------
    const Captions& Texts() const { return captions_; }
    const std::string& TxtCust() const { return txtCust_; }
    const std::string& TxtItem() const { return txtItem_; }
    const std::string& TxtCurrency() const { return txtCurrency_; }
    Spread& vsSELowPrice() { return vsSELowPrice_; }
    bool OptAllCust() const { return allCust_; }
    bool OptSingleCust() const { return !allCust_; }
    // Any change of the boxes, options or captions.
    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changes_.Subscribe(std::move(fn));
    }

    // --- What the user does ----------------------------------------------
    // Selecting the all-customers option shows "所有客户" in the customer
    // box; selecting this customer's option shows the customer again.
    void OptAllCustClick();
    void OptSingleCustClick();
    // The currency lookup: a confirmed row replaces the currency's ID and
    // name; anything else leaves them as they were.
    void CmdOPenClick();
    // A key in the currency box: F7 or F8 (without Shift, Ctrl or Alt) open
    // the lookup; every key is consumed and the box shows the currency name
    // again. Returns the key code left for the box: always 0.
    int TxtCurrencyKeyDown(int keyCode, int shift);
    // Saves, then closes.
    void CmdOKClick();
    // Closes without writing.
    void CmdCancelClick() { Hide(); }

    // The batch OK runs for the current choices; the price is the cell's.
    std::string SaveSql() const;

    // LocalizableForm
    void ForEachText(bool withColumnHeaders, const TextVisitor& visit) override;

  private:
    ModuleContext& ctx_;

    double CellPrice() const;
    void SetCustomerBox();
    void Changed() { changes_.Emit(); }
    void Save();

    std::int32_t custID_ = 0;
    std::string custNumberName_;
    std::int32_t itemID_ = 0;
    std::string itemNumberName_;
    std::int32_t currencyID_ = 0;
    std::string currencyName_;
    double poHighPrice_ = 0;

    int priceDecimals_ = 0;
    bool allCust_ = false;

    Captions captions_;
    std::shared_ptr<Dictionary> formResOptions_;
    std::string txtCust_;
    std::string txtItem_;
    std::string txtCurrency_;
    Spread vsSELowPrice_;
    Signal<> changes_;
};

}  // namespace orva
