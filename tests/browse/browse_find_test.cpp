// The browse window's find, filter, sort and search-all commands: what they
// hand the find component, the stepping through found rows, filter and sort
// of a leaf's ledger and of a group, and search all over the company with
// and without data rights.
#include <gtest/gtest.h>

#include "browse/find_search_all.h"
#include "browse_fixture.h"
#include "host/component_registry.h"
#include "host/find/find_dialog.h"
#include "model/sql_values.h"

namespace orva {
namespace {

// A stand-in component: records what the window set, in order, and returns
// what the test gives it.
struct FakeFfs : FFSFace {
    std::vector<std::string> calls;
    std::vector<Dictionary> family;
    Dictionary sysPar;
    RecordsetPtr records;
    bool ok = true;
    bool fail = false;
    std::shared_ptr<const FindPositions> found;

    void SetFfsMode(std::int16_t m) override { calls.push_back("Mode" + std::to_string(m)); }
    void SetFfsFamily(std::vector<Dictionary> f) override {
        calls.push_back("Family");
        family = std::move(f);
    }
    void SetFfsSysPar(Dictionary p) override {
        calls.push_back("SysPar");
        sysPar = std::move(p);
    }
    void SetFfsRecordset(RecordsetPtr r) override {
        calls.push_back("Recordset");
        records = std::move(r);
    }
    void SetFfstvwBase(Tree*) override { calls.push_back("Tree"); }
    void Show() override {
        calls.push_back("Show");
        if (fail)
            throw ComError(ComError::kGeneric, "component failed");
    }
    bool ReFfsOK() const override { return ok; }
    RecordsetPtr ReFfsRecordset() const override { return records; }
    std::shared_ptr<const FindPositions> ReFfsFdResult() const override { return found; }
};

class BrowseFind : public BrowseTest {
  protected:
    void TearDown() override {
        ComponentRegistry::Unregister(FFSFace::kProgID);
        BrowseTest::TearDown();
    }
    std::shared_ptr<FakeFfs> Fake() {
        auto fake = std::make_shared<FakeFfs>();
        ComponentRegistry::Register<FFSFace>(FFSFace::kProgID, [fake] { return fake; });
        return fake;
    }
    void User(std::function<void(FindDialog&)> script) {
        ui->OnModal<FindDialog>(FindDialog::kWindowName, std::move(script));
    }
    // Field indexes of search all in the customer tree.
    static constexpr int kCustName = 1, kNote = 7;
    std::vector<std::string> Texts() { return ui->MessageBoxTexts(); }
    // Marks one price entry of a customer that the group clerk may see in
    // full (base or US dollar currency, an item of group 01, 01.01 or 03.01).
    std::int32_t MarkEntry(std::int32_t custID, const std::string& note) {
        auto id = static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 e.FEntryID FROM t_CustEntry e INNER JOIN t_ICItem i ON "
                   "i.FItemID=e.FItemID WHERE e.FCustID=" +
                   std::to_string(custID) +
                   " AND e.FCyID IN (1,2) AND (i.FNumber LIKE '01.01.%' OR i.FNumber LIKE "
                   "'03.01.%' OR i.FNumber LIKE '01.00%') ORDER BY e.FEntryID")
                .ToInteger());
        Query("UPDATE t_CustEntry SET FNote=" + SqlText(note) +
              " WHERE FEntryID=" + std::to_string(id));
        return id;
    }
    std::string Selected(BrowseBase& w) {
        NodeId n = w.tvwBase().Selected();
        return n == kNoNode ? "" : w.tvwBase().Node(n).key;
    }
};

struct FamilyCase {
    bool itemTree;
    const char* command;
    std::vector<std::string> columns;
    Variant searchOption;
};

class FieldLists : public BrowseFind, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(FieldLists, FollowTheTreeAndSearchAll) {
    const FamilyCase& c = GetParam();
    auto fake = Fake();
    fake->ok = false;
    BrowseBase& w = Open();
    if (c.itemTree)
        w.Menus().Click("mnuVBaseICItem");
    w.Menus().Click(c.command);

    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{c.command == std::string("mnuEditSort") ? "Mode2" : "Mode0",
                                        "Family", "SysPar", "Recordset", "Tree", "Show"}));
    std::vector<std::string> columns;
    for (const Dictionary& d : fake->family) columns.push_back(d.Value("Column").ToText());
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(fake->family.back().Value("ComBoxList").ToText(), "已审核\t未审核");
    EXPECT_EQ(fake->sysPar.Value("SearchOption"), c.searchOption);
    EXPECT_EQ(fake->sysPar.Exists("bNeedCheckItemRight"), !c.searchOption.IsNull());
    EXPECT_FALSE(w.SearchAllFlag());
    EXPECT_TRUE(ui->MessageBoxes().empty());  // a cancelled dialog ends the command
}

const std::vector<std::string> kCommon = {"FUnitName",   "FCyName", "FPrice", "FQuoteTime",
                                          "FExpireDate", "FNote",   "FUsed"};
std::vector<std::string> With(std::vector<std::string> head) {
    head.insert(head.end(), kCommon.begin(), kCommon.end());
    return head;
}

INSTANTIATE_TEST_SUITE_P(
    Trees, FieldLists,
    ::testing::Values(
        FamilyCase{false, "mnuEditFind", With({"FNumber", "FName", "FModel"}), Variant()},
        FamilyCase{true, "mnuEditFind", With({"FNumber", "FName"}), Variant()},
        FamilyCase{false, "mnuEditSort", With({"FNumber", "FName", "FModel"}), Variant()},
        FamilyCase{false, "mnuEditSearchAll", With({"FNumber", "FName"}), Variant(20)},
        FamilyCase{true, "mnuEditSearchAll", With({"FNumber", "FName", "FModel"}), Variant(10)}));

TEST_F(BrowseFind, StepsThroughMatchesAndStopsAtNo) {
    auto fake = Fake();
    fake->found = std::make_shared<const FindPositions>(FindPositions{1, 2, 3});
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    ui->AnswerMessageBox(MsgResult::kYes);
    ui->AnswerMessageBox(MsgResult::kNo);
    w.tbToolBar().Click("Find");

    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"当前记录已找到，是否继续往下搜索？",
                                        "当前记录已找到，是否继续往下搜索？", "搜索完毕!"}));
    EXPECT_EQ(w.ldgBase().SelRow(), 4);
    const auto& done = ui->MessageBoxes().back();
    EXPECT_EQ(done.buttons, MsgButtons::kCancelTryContinue);
    EXPECT_EQ(done.icon, MsgIcon::kNone);
    EXPECT_EQ(done.title, "Tesmar提示");
}

TEST_F(BrowseFind, AFailingComponentEndsTheCommandSilently) {
    auto fake = Fake();
    fake->fail = true;
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    const int rows = w.ldgBase().Rows();
    w.Menus().Click("mnuEditFilter");
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_EQ(w.ldgBase().Rows(), rows);
}

TEST_F(BrowseFind, FilterShowsTheMatchingRowsUntilTheNextNodeClick) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    const int all = w.ldgBase().Rows() - 2;
    const auto cheap = Count(
        "SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON i.FItemID=e.FItemID WHERE "
        "e.FCustID=1021 AND e.FPrice<50 AND i.FErpClsID NOT IN (6,8)");
    ASSERT_GT(cheap, 0);
    ASSERT_LT(cheap, all);
    User([](FindDialog& d) {
        d.SetField(0, 5);  // 报价 in the customer tree
        d.SetOperator(0, FindOp::kLess);
        d.SetValue(0, "50");
        d.Run();
    });
    w.Menus().Click("mnuEditFilter");
    EXPECT_EQ(w.ldgBase().Rows() - 2, cheap);
    for (int r = 3; r <= w.ldgBase().Rows(); ++r)
        EXPECT_LT(std::stod(w.ldgBase().CellText(r, 8)), 50) << r;
    EXPECT_NE(w.sbStatusBar()
                  .Panel("Passtime")
                  .text.find(std::to_string(cheap) + " / " + std::to_string(all)),
              std::string::npos);

    ClickNode(w, "gc0");
    ClickLeaf(w, 1021);
    EXPECT_EQ(w.ldgBase().Rows() - 2, all);
}

TEST_F(BrowseFind, SortOnAGroupShowsTheDialogAndChangesNothing) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    bool shown = false;
    User([&](FindDialog& d) {
        shown = true;
        d.SetSortKeys({{5, true}});
        d.Run();
    });
    w.Menus().Click("mnuEditSort");
    EXPECT_TRUE(shown);
    EXPECT_EQ(w.ldgBase().Rows(), 2);
    EXPECT_EQ(Selected(w), "gc0");
}

TEST_F(BrowseFind, SortsALeafByPriceDescending) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    User([](FindDialog& d) {
        d.SetSortKeys({{5, true}});
        d.Run();
    });
    w.Menus().Click("mnuEditSort");
    const double top = Scalar("SELECT MAX(FPrice) FROM t_CustEntry WHERE FCustID=1021").ToDouble();
    EXPECT_DOUBLE_EQ(std::stod(w.ldgBase().CellText(3, 8)), top);
    for (int r = 4; r <= w.ldgBase().Rows(); ++r) {
        EXPECT_GE(std::stod(w.ldgBase().CellText(r - 1, 8)), std::stod(w.ldgBase().CellText(r, 8)));
    }
}

TEST_F(BrowseFind, SearchAllFindsOnlyWhatTheUserMaySeeAndGoesOnToTheNext) {
    // 01.02.001 lies outside the group clerk's rights, 02.01.002 inside;
    // 01.01.001 comes first but does not hold the text ('%' and '_' are no
    // wildcards).
    const std::int32_t hidden = MarkEntry(1030, "特价%_['标记");
    const std::int32_t seen = MarkEntry(1046, "特价%_['标记");
    MarkEntry(1021, "特价_['标记");

    auto searchAll = [&](BrowseBase& w) {
        User([](FindDialog& d) {
            d.SetField(0, kNote);
            d.SetValue(0, "%_['标");
            d.Run();
        });
        ui->AnswerMessageBox(MsgResult::kNo);
        w.Menus().Click("mnuEditSearchAll");
    };

    for (int user : {demo::kAdminUserId, demo::kGroupClerkUserId}) {
        SCOPED_TRACE(user);
        RegisterFindComponent();
        LogOn(user);
        BrowseBase& w = Open();
        searchAll(w);
        const bool admin = user == demo::kAdminUserId;
        EXPECT_EQ(Selected(w), admin ? "gb1030" : "gb1046");
        EXPECT_EQ(w.ldgBase().SelRow(), RowOf(w, admin ? hidden : seen));
        EXPECT_EQ(w.LastNodeKey(), Selected(w));
        EXPECT_EQ(Texts().back(), "搜索完毕!");
        ui->ClearRecords();

        searchAll(w);  // the same criteria again: the next customer, then round
        EXPECT_EQ(Selected(w), "gb1046");
        searchAll(w);
        EXPECT_EQ(Selected(w), admin ? "gb1030" : "gb1046");
        ui->ClearRecords();
    }
}

TEST_F(BrowseFind, SearchAllWithOnlyTheCustomerMatchingIsAPartialMatch) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    User([](FindDialog& d) {
        d.SetField(0, kCustName);
        d.SetValue(0, "华联");
        d.AddRow();
        d.SetField(1, kNote);
        d.SetValue(1, "没有这样的备注");
        d.Run();
    });
    w.Menus().Click("mnuEditSearchAll");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"只找到符合部分条件的记录 !"}));
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示：");
    EXPECT_EQ(Selected(w), "gb1021");  // 01.01.001 北京华联商贸有限公司
    EXPECT_EQ(w.LastNodeKey(), "gb1021");
}

TEST_F(BrowseFind, SearchAllTakesStatementTextAsALiteral) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    const auto entries = Count("SELECT COUNT(*) FROM t_CustEntry");
    FindNotice notice;
    User([&](FindDialog& d) {
        d.SetField(0, kNote);
        d.SetValue(0, "'; DELETE FROM t_CustEntry --");
        d.Run();
        notice = d.Notice();
        d.Cancel();
    });
    w.Menus().Click("mnuEditSearchAll");
    EXPECT_EQ(notice.key, "没有找到符合条件的客户");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry"), entries);
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(BrowseFind, ADatabaseErrorInSearchAllIsShownAndTheWindowStaysUsable) {
    RegisterFindComponent();
    BrowseBase& w = Open();
    Query("DROP TABLE t_MeasureUnit");
    FindNotice notice;
    bool stillOpen = false;
    User([&](FindDialog& d) {
        d.SetField(0, kNote);
        d.SetValue(0, "价");
        d.Run();
        notice = d.Notice();
        stillOpen = d.Visible();
        d.Cancel();
    });
    w.Menus().Click("mnuEditSearchAll");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(notice.key, "查找失败");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_NE(ui->MessageBoxes()[0].text.find("t_MeasureUnit"), std::string::npos)
        << ui->MessageBoxes()[0].text;
    EXPECT_FALSE(w.SearchAllFlag());
    ClickLeaf(w, 1021);  // the window goes on working
    EXPECT_EQ(Selected(w), "gb1021");
}

}  // namespace
}  // namespace orva
