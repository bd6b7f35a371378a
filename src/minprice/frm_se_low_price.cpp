#include "minprice/frm_se_low_price.h"

#include <cstdint>
#include <optional>

#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/controls/cell_type.h"
#include "host/gl_view.h"
#include "model/sql_values.h"
#include "session/form_res.h"
#include "session/session.h"

namespace orva {

namespace {

// The price cell takes no negative floor and at most ten integer digits.
constexpr double kMaxPrice = 9999999999.0;

}  // namespace

frmSELowPrice::frmSELowPrice(ModuleContext& ctx) : ctx_(ctx) {
    vsSELowPrice_.SetMaxCols(1);
    vsSELowPrice_.SetMaxRows(1);
    vsSELowPrice_.SetCellType(CellBlock::Cell(1, 1), CellType::Decimal(0, 0, kMaxPrice));
}

void frmSELowPrice::ForEachText(bool /*withColumnHeaders*/, const TextVisitor& visit) {
    using K = TextKind;
    for (std::string* text :
         {&captions_.caption, &captions_.lblSupply, &captions_.lblItem, &captions_.lblCurrency,
          &captions_.lblPOHighPrice, &captions_.optAllCust, &captions_.optSingleCust,
          &captions_.cmdOK, &captions_.cmdCancel, &captions_.lblNote}) {
        visit(K::Caption, *text);
    }
}

void frmSELowPrice::Load() {
    // When the texts cannot be read, the captions stay as designed.
    PassOver([this] { LoadFormRes(ctx_, *this, formResOptions_); });
    txtCust_ = custNumberName_;
    txtItem_ = itemNumberName_;
    txtCurrency_ = currencyName_;

    bool itemLevel = false;
    priceDecimals_ = 0;
    // An item that cannot be read keeps customer-level prices and no
    // decimals.
    const bool read = PassOver([&] {
        RecordsetPtr rs = ctx_.Connection().Execute(
            "Select FSalePriceFixingType,FPriceDecimal from t_ICItem where FItemID=" +
            SqlId(itemID_));
        if (!rs->EOF_()) {
            itemLevel =
                NullToValue(ctx_, rs->Fields("FSalePriceFixingType").Value(), 0).ToInteger() == 1;
            priceDecimals_ = static_cast<int>(
                NullToValue(ctx_, rs->Fields("FPriceDecimal").Value(), 0).ToInteger());
        }
    });
    if (!read) {
        itemLevel = false;
        priceDecimals_ = 0;
    }
    if (priceDecimals_ < 0)
        priceDecimals_ = 0;

    // The cell shows the price with the item's price decimals, and holds it
    // as shown, so that OK without a change writes what the user saw.
    CellType type = CellType::Decimal(priceDecimals_, 0, kMaxPrice);
    vsSELowPrice_.SetCellType(CellBlock::Cell(1, 1), type);
    vsSELowPrice_.SetText(1, 1, type.Display(FormatDouble(poHighPrice_)));

    allCust_ = false;
    if (itemLevel)
        OptAllCustClick();
    Changed();
}

void frmSELowPrice::SetCustomerBox() {
    txtCust_ = allCust_ ? GetResText("所有客户") : custNumberName_;
}

void frmSELowPrice::OptAllCustClick() {
    allCust_ = true;
    SetCustomerBox();
    Changed();
}

void frmSELowPrice::OptSingleCustClick() {
    allCust_ = false;
    SetCustomerBox();
    Changed();
}

void frmSELowPrice::CmdOPenClick() {
    // A lookup that fails is passed over: the currency stays.
    PassOver([this] {
        std::shared_ptr<BaseDataLookup> lookup = ShowLookup(ctx_, 12, "", "", 1);
        if (!lookup || !lookup->ReturnOK() || !lookup->ReturnObject())
            return;
        const Dictionary& row = *lookup->ReturnObject();
        // Both values are read before either is taken, so a row that cannot
        // be read leaves the currency as it was.
        std::string name = row.Value("FName").ToText();
        std::int64_t id = row.Value("FCurrencyID").ToInteger();
        if (id < INT32_MIN || id > INT32_MAX)
            return;
        currencyName_ = std::move(name);
        currencyID_ = static_cast<std::int32_t>(id);
        txtCurrency_ = currencyName_;
        Changed();
    });
}

int frmSELowPrice::TxtCurrencyKeyDown(int keyCode, int shift) {
    if ((keyCode == kKeyF7 || keyCode == kKeyF8) && shift == 0)
        CmdOPenClick();
    txtCurrency_ = currencyName_;
    Changed();
    return 0;
}

double frmSELowPrice::CellPrice() const {
    // An empty cell is a price of 0.
    std::optional<double> value = ParseNumber(vsSELowPrice_.GetText(1, 1));
    return value ? *value : 0.0;
}

std::string frmSELowPrice::SaveSql() const {
    const std::string price = SqlNumber(CellPrice());
    const std::string item = SqlId(itemID_);
    const std::string currency = SqlId(currencyID_);
    std::string sql = " Update t_Cust Set FCurrencyID=" + currency + ",FSELowPrice=" + price +
                      std::string(kCrLf) + " Where  FBrNo=" + std::string(kFBrNo) +
                      " and FItemID=" + item;
    if (!allCust_) {
        // This customer's header row gets the price; the item returns to
        // customer-level minimum prices.
        sql += " and FCustID=" + SqlId(custID_) + std::string(kCrLf) +
               "Update t_ICItem SET FSalePriceFixingType=0 Where FItemID=" + item;
    } else {
        // Every customer's header row of the item gets the price, and the
        // item-level price becomes the one that applies.
        sql += std::string(kCrLf) + " ; " + "Update t_ICItem set FSOLowPrc=" + price +
               " , FSOLowPrcMnyType=" + currency +
               " , FSalePriceFixingType=1 Where FItemID=" + item;
    }
    return sql;
}

void frmSELowPrice::Save() {
    std::string sql;
    if (!PassOver([&] { sql = SaveSql(); }))
        return;
    // A setting that cannot be kept does not stop the save.
    PassOver([this] { ctx_.Settings().Set(EffectAllCust(), allCust_); });
    // Passed over: the dialog closes as after a successful save.
    PassOver([&] { ctx_.Connection().Execute(sql); });
}

void frmSELowPrice::CmdOKClick() {
    Save();
    Hide();
}

}  // namespace orva
