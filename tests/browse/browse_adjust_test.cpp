// "调整价格..." from the browse window: the modify right, the data rights of
// the entries it offers, and the ledger read again after a write.
#include <algorithm>
#include <cmath>

#include "browse/frm_adjust_prices.h"
#include "browse_fixture.h"

namespace orva {
namespace {

class BrowseAdjust : public BrowseTest {};

TEST_F(BrowseAdjust, RightsDecideWhetherAndOverWhichEntriesItOpens) {
    struct Case {
        int user;
        bool opens;
        bool otherCurrencies;  // currencies beyond RMB and USD offered
    };
    const Case cases[] = {
        {demo::kAdminUserId, true, true},
        {demo::kGroupClerkUserId, true, false},  // prices in currencies 1 and 2 only
        {demo::kLimitedUserId, false, false},    // no modify right
    };
    for (const Case& c : cases) {
        LogOn(c.user);
        BrowseBase& w = Open();
        ClickNode(w, "gc0");
        ui->ClearRecords();
        bool others = false;
        std::size_t currencies = 0;
        if (c.opens) {
            ui->OnModal<frmAdjustPrices>(frmAdjustPrices::kWindowName, [&](frmAdjustPrices& d) {
                currencies = d.Currencies().size();
                for (const frmAdjustPrices::Choice& choice : d.Currencies())
                    others |= choice.id != demo::kCurrencyRmb && choice.id != demo::kCurrencyUsd;
            });
        }
        w.Menus().Click("mnuAdjustPrices");
        const auto& shown = ui->ModalWindows();
        const bool opened =
            std::find(shown.begin(), shown.end(), frmAdjustPrices::kWindowName) != shown.end();
        EXPECT_EQ(opened, c.opens) << c.user;
        EXPECT_EQ(others, c.otherCurrencies) << c.user;
        if (c.opens)
            EXPECT_GT(currencies, 0u) << c.user;
        else
            EXPECT_EQ(ui->AssistantNotices().size(), 1u) << c.user;
        EXPECT_EQ(ui->PendingScripts(), 0u) << c.user;
    }
}

TEST_F(BrowseAdjust, ALeafsPricesRaisedInPlaceShowInItsLedger) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(2);
    ClickLeaf(w, cust);
    const std::string unaudited =
        "SELECT FEntryID FROM t_CustEntry WHERE FUsed=0 AND FCustID=" + std::to_string(cust) +
        " AND FQuoteTime<='" + Date::Today().ToText() + "' AND FExpireDate>'" +
        Date::Today().ToText() + "' ORDER BY FEntryID";
    const std::int32_t entry = static_cast<std::int32_t>(Scalar(unaudited).ToInteger());
    ASSERT_NE(entry, 0) << "the demo customer has an unaudited price in force today";
    const double before =
        Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)).ToDouble();

    ui->OnModal<frmAdjustPrices>(frmAdjustPrices::kWindowName, [](frmAdjustPrices& d) {
        d.In().kind = PriceChange::kAmount;
        d.In().value = "1";
        d.CmdOKClick();
    });
    ui->AnswerMessageBox(MsgResult::kYes);
    w.Menus().Click("mnuAdjustPrices");
    const double after =
        Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)).ToDouble();
    EXPECT_DOUBLE_EQ(after, std::round((before + 1) * 100) / 100);
    const int row = RowOf(w, entry);
    ASSERT_NE(row, 0);
    const std::string cell = w.ldgBase().CellText(row, BaseDetail::ColumnOf(false, "FPrice"));
    EXPECT_DOUBLE_EQ(ParseNumber(cell).value_or(0), after) << "the ledger was read again";
}

}  // namespace
}  // namespace orva
