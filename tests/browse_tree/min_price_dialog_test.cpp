// The minimum price dialog on the demo company: what it shows, the currency
// box and lookup, and what OK writes for one customer and for all customers.
#include <functional>
#include <map>

#include "host/settings_store.h"
#include "minprice/frm_se_low_price.h"
#include "tree_fixture.h"

namespace orva {
namespace {

class MinPriceDialogTest : public CompanyTest {
  protected:
    void SetUp() override {
        CompanyTest::SetUp();
        settings = std::make_shared<MemorySettingsStore>();
        SetCurrentSettings(settings);
        // An item priced for several customers, with customer-level floors.
        item = Scalar(
                   "select top 1 FItemID from t_Cust where FItemID in (select FItemID from "
                   "t_ICItem where isnull(FSalePriceFixingType,0)=0) group by FItemID "
                   "having count(*)>2 order by FItemID")
                   .ToInteger();
        cust = Scalar("select min(FCustID) from t_Cust where FItemID=" + std::to_string(item))
                   .ToInteger();
    }

    // Opens the dialog for the customer and item with the given state; the
    // script is what the user does while it is up.
    void Open(std::function<void(frmSELowPrice&)> script, int currency = demo::kCurrencyUsd) {
        ui->OnModal<frmSELowPrice>("frmSELowPrice", std::move(script));
        dialog = std::make_unique<frmSELowPrice>(*ctx_);
        dialog->SetCustID(static_cast<std::int32_t>(cust));
        dialog->SetCustNumberName("C(Customer)");
        dialog->SetItemID(static_cast<std::int32_t>(item));
        dialog->SetItemNumberName("I(Item)");
        dialog->SetCurrencyID(currency);
        dialog->SetCurrencyName("Currency " + std::to_string(currency));
        dialog->SetPOHighPrice(12.345);
        dialog->Load();
        CurrentUi().ShowModal(*dialog);
    }

    std::string ItemId() const { return std::to_string(item); }
    // FCustID -> "FCurrencyID/FSELowPrice" of the item's header rows.
    std::map<std::string, std::string> Headers() {
        std::map<std::string, std::string> out;
        RecordsetPtr rs =
            Query("select FCustID, FCurrencyID, FSELowPrice from t_Cust where FItemID=" + ItemId());
        for (; !rs->EOF_(); rs->MoveNext())
            out[rs->Fields(0).Value().ToText()] =
                rs->Fields(1).Value().ToText() + "/" + rs->Fields(2).Value().ToText();
        return out;
    }
    std::string ItemLevel() {
        RecordsetPtr rs = Query(
            "select FSalePriceFixingType, FSoLowPrcMnyType, FSoLowPrc from t_ICItem where "
            "FItemID=" +
            ItemId());
        return rs->Fields(0).Value().ToText() + "/" + rs->Fields(1).Value().ToText() + "/" +
               rs->Fields(2).Value().ToText();
    }

    std::shared_ptr<MemorySettingsStore> settings;
    std::unique_ptr<frmSELowPrice> dialog;
    std::int64_t item = 0;
    std::int64_t cust = 0;
};

TEST_F(MinPriceDialogTest, OpensForOneCustomerWithThePriceInTheItemsDecimals) {
    Query("update t_ICItem set FPriceDecimal=2 where FItemID=" + ItemId());
    Open([](frmSELowPrice& w) {
        EXPECT_EQ(w.TxtCust(), "C(Customer)");
        EXPECT_EQ(w.TxtItem(), "I(Item)");
        EXPECT_EQ(w.TxtCurrency(), "Currency 2");
        EXPECT_TRUE(w.OptSingleCust());
        EXPECT_EQ(w.vsSELowPrice().DisplayText(1, 1), "12.35");
        EXPECT_EQ(w.Texts().caption, "销售最低限价");
        w.CmdCancelClick();
    });
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(settings->Find(frmSELowPrice::EffectAllCust()));  // cancel writes nothing
}

TEST_F(MinPriceDialogTest, SavingForOneCustomerChangesItsRowAndReturnsTheItemToCustomerPrices) {
    Query(
        "update t_ICItem set FSalePriceFixingType=1, FSoLowPrc=5, FSoLowPrcMnyType=1 where "
        "FItemID=" +
        ItemId());
    std::map<std::string, std::string> before = Headers();
    Open([](frmSELowPrice& w) {
        // Item-level pricing: the dialog opens on all customers.
        EXPECT_TRUE(w.OptAllCust());
        EXPECT_EQ(w.TxtCust(), "所有客户");
        w.OptSingleCustClick();
        EXPECT_EQ(w.TxtCust(), "C(Customer)");
        EXPECT_TRUE(w.vsSELowPrice().TypeText(1, 1, "8.5"));
        w.CmdOKClick();
    });
    EXPECT_FALSE(dialog->Visible());
    std::map<std::string, std::string> after = Headers();
    std::map<std::string, std::string> expected = before;
    expected[std::to_string(cust)] = "2/8.5";
    EXPECT_EQ(after, expected);
    EXPECT_EQ(ItemLevel(), "0/1/5");  // the item-level price stays, but no longer applies
    EXPECT_EQ(settings->Read("OrvaSalePrice", "InterFaceSetting", "EffectAllCust"), "False");
}

TEST_F(MinPriceDialogTest, SavingForAllCustomersOverwritesEveryRowOfTheItem) {
    Open([](frmSELowPrice& w) {
        w.OptAllCustClick();
        EXPECT_EQ(w.TxtCust(), "所有客户");
        EXPECT_TRUE(w.vsSELowPrice().TypeText(1, 1, "20"));
        w.CmdOKClick();
    });
    std::map<std::string, std::string> after = Headers();
    ASSERT_GT(after.size(), 2u);
    for (auto& [c, value] : after) EXPECT_EQ(value, "2/20") << "customer " << c;
    EXPECT_EQ(ItemLevel(), "1/2/20");
    EXPECT_EQ(settings->Read("OrvaSalePrice", "InterFaceSetting", "EffectAllCust"), "True");
    // Other items keep their rows.
    EXPECT_EQ(Scalar("select count(*) from t_Cust where FItemID<>" + ItemId() +
                     " and FSELowPrice=20 and FCurrencyID=2")
                  .ToInteger(),
              0);
}

TEST_F(MinPriceDialogTest, ACustomerWithoutAHeaderRowChangesNoRow) {
    cust = Scalar(
               "select min(FItemID) from t_Organization where FItemID not in (select FCustID "
               "from t_Cust where FItemID=" +
               ItemId() + ")")
               .ToInteger();
    std::map<std::string, std::string> before = Headers();
    Open([](frmSELowPrice& w) {
        EXPECT_TRUE(w.vsSELowPrice().TypeText(1, 1, "99"));
        w.CmdOKClick();
    });
    EXPECT_EQ(Headers(), before);
    EXPECT_EQ(Scalar("select count(*) from t_Cust where FCustID=" + std::to_string(cust) +
                     " and FItemID=" + ItemId())
                  .ToInteger(),
              0);
}

TEST_F(MinPriceDialogTest, CurrencyBoxRefusesTypingAndTakesTheLookupsChoice) {
    auto euro = std::make_shared<Dictionary>();
    euro->SetValue("FName", "欧元");
    euro->SetValue("FCurrencyID", demo::kCurrencyEur);
    ui->AnswerLookup(LookupReply{false, nullptr});  // the first lookup is cancelled
    ui->AnswerLookup(LookupReply{true, euro});
    Open([](frmSELowPrice& w) {
        EXPECT_EQ(w.TxtCurrencyKeyDown('A', 0), 0);
        EXPECT_EQ(w.TxtCurrency(), "Currency 2");
        w.TxtCurrencyKeyDown(kKeyF7, 0);  // cancelled
        EXPECT_EQ(w.CurrencyID(), demo::kCurrencyUsd);
        EXPECT_EQ(w.TxtCurrency(), "Currency 2");
        w.TxtCurrencyKeyDown(kKeyF8, 0);
        EXPECT_EQ(w.CurrencyID(), demo::kCurrencyEur);
        EXPECT_EQ(w.TxtCurrency(), "欧元");
        w.CmdOKClick();
    });
    ASSERT_EQ(ui->Lookups().size(), 2u);
    EXPECT_EQ(ui->Lookups()[0].method, "CurrencyLookup");
    // The price shown (12.345 in the item's decimals) is what is saved.
    double shown = std::stod(dialog->vsSELowPrice().GetText(1, 1));
    EXPECT_EQ(Headers()[std::to_string(cust)], "3/" + FormatDouble(shown));
}

}  // namespace
}  // namespace orva
