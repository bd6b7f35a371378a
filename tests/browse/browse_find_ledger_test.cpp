// What find, filter and sort act on: the ledger's own records, never those
// of a leaf shown before a tree switch or in a window opened earlier in the
// process; and the filter's note in the status bar, which holds only while
// the ledger shows the filter's result.
#include <gtest/gtest.h>

#include <functional>

#include "find_fixture.h"
#include "host/print/ledger_print.h"
#include "orvasaleprice/cust_face.h"
#include "support/language_scope.h"

namespace orva {
namespace {

class FindOnTheLedger : public BrowseFind {
  protected:
    void SetUp() override {
        BrowseFind::SetUp();
        RegisterFindComponent();
    }
    // Runs F3, F4 or F5 on a group's empty ledger with criteria that every
    // entry meets: the ledger stays empty, and find says it found nothing.
    void ExpectNothingOnTheGroup(BrowseBase& w, const std::string& key) {
        SCOPED_TRACE(key);
        ui->ClearRecords();
        if (key == "F4")
            SortByPriceDown();
        else
            PriceBelow(1e9);
        ASSERT_TRUE(w.Menus().PressShortcut(key));
        EXPECT_EQ(w.ldgBase().Rows(), 2);
        EXPECT_EQ(ctx_->g_LedgerRecords.get(), nullptr);
        EXPECT_EQ(Texts(), key == "F3" ? std::vector<std::string>{"搜索完毕，没有搜索到匹配记录。"}
                                       : std::vector<std::string>{});
        EXPECT_EQ(w.sbStatusBar().Panel(BrowseBase::kFilterNotePanel).text, "");
        EXPECT_EQ(ui->PendingScripts(), 0u);
    }
};

// In each tree, between the switch and the first click: the root is shown
// and the leaf's entries of the other tree are gone.
TEST_F(FindOnTheLedger, AfterATreeSwitchTheRootHasNothingToFindFilterOrSort) {
    const std::int32_t item = static_cast<std::int32_t>(
        Scalar("SELECT TOP 1 e.FItemID FROM t_CustEntry e GROUP BY e.FItemID "
               "HAVING COUNT(*)>=3 ORDER BY e.FItemID")
            .ToInteger());
    for (const std::string key : {"F3", "F4", "F5"}) {
        BrowseBase& w = Open();
        ClickLeaf(w, 1021);
        ASSERT_GT(w.ldgBase().Rows(), 4);
        w.Menus().Click("mnuVBaseICItem");
        ExpectNothingOnTheGroup(w, key);

        ClickLeaf(w, item);
        ASSERT_GT(w.ldgBase().Rows(), 4);
        w.tbToolBar().Click("Organization");
        ExpectNothingOnTheGroup(w, key);
    }
}

TEST_F(FindOnTheLedger, AWindowOpenedAgainHasNothingOfTheLastOnesLedger) {
    CustFace face;
    face.SelCustID(1021);
    int rows = 0;
    ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) { rows = w.ldgBase().Rows(); });
    face.Show(showedit);
    ASSERT_GT(rows, 4);

    face.SelCustID(0);
    bool shown = false;
    ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
        shown = true;
        for (const std::string key : {"F3", "F4", "F5"}) ExpectNothingOnTheGroup(w, key);
    });
    face.Show(showedit);
    EXPECT_TRUE(shown);
}

// A print component that prints nothing.
struct NoPrint : LedgerPrint {
    void Ldg4Print(Ledger&, bool) override {}
    bool PrintSetup(Ledger&) override { return false; }
};

TEST_F(FindOnTheLedger, TheFilterNoteHoldsOnlyWhileTheFilterResultIsShown) {
    ComponentRegistry::Register<LedgerPrint>(LedgerPrint::kProgID,
                                             [] { return std::make_shared<NoPrint>(); });
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    const int all = w.ldgBase().Rows() - 2;
    const auto below = [&](int price) {
        return static_cast<int>(
            Count("SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON "
                  "i.FItemID=e.FItemID WHERE e.FCustID=1021 AND i.FErpClsID NOT IN (6,8) AND "
                  "e.FPrice<" +
                  std::to_string(price)));
    };
    ASSERT_LT(below(20), below(50));
    ASSERT_LT(below(50), all);
    ASSERT_GT(below(20), 0);

    struct Step {
        const char* what;
        std::function<void()> act;
        int rows;  // data rows the ledger shows afterwards
        bool note;
    };
    const auto filter = [&](int price) {
        PriceBelow(price);
        w.Menus().PressShortcut("F5");
    };
    const Step steps[] = {
        {"filter", [&] { filter(50); }, below(50), true},
        {"sort",
         [&] {
             SortByPriceDown();
             w.Menus().PressShortcut("F4");
         },
         all, false},
        {"filter again", [&] { filter(50); }, below(50), true},
        {"a preview of the filtered rows", [&] { w.Menus().Click("mnuFilePreview"); }, below(50),
         true},
        {"a second filter", [&] { filter(20); }, below(20), true},
        {"refresh", [&] { w.Menus().PressShortcut("F9"); }, all, false},
        {"filter, then a click on the root",
         [&] {
             filter(50);
             ClickNode(w, "gc0");
         },
         0, false},
        {"the customer again, filtered, then the switch to the items",
         [&] {
             ClickLeaf(w, 1021);
             filter(50);
             w.Menus().Click("mnuVBaseICItem");
         },
         0, false},
        {"the switch back", [&] { w.tbToolBar().Click("Organization"); }, 0, false},
        {"the customer again, filtered",
         [&] {
             ClickLeaf(w, 1021);
             filter(50);
         },
         below(50), true},
        // The same node again reloads nothing: the filtered rows stay.
        {"a click on the customer shown", [&] { ClickNode(w, "gb1021"); }, below(50), true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(w.ldgBase().Rows() - 2, step.rows);
        const std::string expected =
            "过滤后显示记录数: " + std::to_string(step.rows) + " / " + std::to_string(all);
        EXPECT_EQ(w.sbStatusBar().Panel(BrowseBase::kFilterNotePanel).text,
                  step.note ? expected : "");
    }
    ClickLeaf(w, static_cast<std::int32_t>(
                     Scalar("SELECT TOP 1 FCustID FROM t_CustEntry WHERE FCustID<>1021 "
                            "ORDER BY FCustID")
                         .ToInteger()));
    EXPECT_EQ(w.sbStatusBar().Panel(BrowseBase::kFilterNotePanel).text, "");
    EXPECT_EQ(ui->PendingScripts(), 0u);
    ComponentRegistry::Unregister(LedgerPrint::kProgID);
}

TEST_F(FindOnTheLedger, TheFilterNoteIsInTheSessionsLanguage) {
    test::LanguageScope english("ENG");
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    const int all = w.ldgBase().Rows() - 2;
    PriceBelow(50);
    w.Menus().PressShortcut("F5");
    const std::string note = w.sbStatusBar().Panel(BrowseBase::kFilterNotePanel).text;
    EXPECT_EQ(note, "Filtered, records shown: " + std::to_string(w.ldgBase().Rows() - 2) + " / " +
                        std::to_string(all));
}

}  // namespace
}  // namespace orva
