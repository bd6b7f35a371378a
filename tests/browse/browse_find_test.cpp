// The browse window's find, filter, sort and search-all commands: what they
// hand the find component, the stepping through found rows, filter and sort
// of a leaf's ledger and of a group, and search all over the company with
// and without data rights.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "browse/find_search_all.h"
#include "find_fixture.h"
#include "model/sql_values.h"
#include "support/language_scope.h"
#include "support/po_file.h"

namespace orva {
namespace {

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

// The English text of a key, from whichever area file translates it.
std::string English(const std::string& key) {
    for (const char* file : {"find.po", "browse.po", "entry.po"}) {
        std::string text = test::PoTranslation(test::EnglishPo(file), key);
        if (!text.empty())
            return text;
    }
    ADD_FAILURE() << "no English text for " << key;
    return key;
}

struct Box {
    const char* text;
    MsgButtons buttons;
    const char* title;
};
const Box kNoMatch{"搜索完毕，没有搜索到匹配记录。", MsgButtons::kCancelTryContinue, "Tesmar提示"};
const Box kPartly{"只找到符合部分条件的记录 !", MsgButtons::kCancelTryContinue, "Tesmar提示："};
const Box kGoOn{"当前记录已找到，是否继续往下搜索？", MsgButtons::kYesNo, "Tesmar提示"};
const Box kDone{"搜索完毕!", MsgButtons::kCancelTryContinue, "Tesmar提示"};

struct ClosingCase {
    const char* name;
    const char* what;
    const char* command;
    std::optional<FindPositions> found;  // nothing: the component found nothing
    std::vector<Box> boxes;
    int selRow;  // the ledger row selected at the end
};

class ClosingMessages : public BrowseFind,
                        public ::testing::WithParamInterface<std::tuple<ClosingCase, const char*>> {
};

// Every message of find shows no icon (none is asked for), with the buttons
// and title of its kind, in the session's language.
TEST_P(ClosingMessages, TextButtonsIconAndTitleInTheSessionsLanguage) {
    const auto& [c, language] = GetParam();
    test::LanguageScope scope(language);
    const bool english = std::string(language) == "ENG";
    auto fake = Fake();
    if (c.found)
        fake->found = std::make_shared<const FindPositions>(*c.found);
    BrowseBase& w = Open();
    ClickLeaf(w, 1021);
    const int leafRow = w.ldgBase().SelRow();
    ui->AnswerMessageBox(MsgResult::kYes);
    ui->AnswerMessageBox(MsgResult::kNo);
    w.Menus().Click(c.command);

    ASSERT_EQ(ui->MessageBoxes().size(), c.boxes.size()) << c.what;
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        SCOPED_TRACE(std::string(c.what) + ", box " + std::to_string(i));
        const auto& shown = ui->MessageBoxes()[i];
        const Box& want = c.boxes[i];
        EXPECT_EQ(shown.text, english ? English(want.text) : want.text);
        EXPECT_EQ(shown.title, english ? English(want.title) : want.title);
        EXPECT_EQ(shown.buttons, want.buttons);
        EXPECT_EQ(shown.icon, MsgIcon::kNone);
    }
    EXPECT_EQ(w.ldgBase().SelRow(), c.selRow == 0 ? leafRow : c.selRow) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    FindResults, ClosingMessages,
    ::testing::Combine(
        ::testing::Values(
            ClosingCase{"Nothing", "nothing found", "mnuEditFind", std::nullopt, {kNoMatch}, 0},
            ClosingCase{
                "NoPosition", "no position found", "mnuEditFind", FindPositions{}, {kNoMatch}, 0},
            ClosingCase{"Partly",
                        "search all: the customer's own fields only",
                        "mnuEditSearchAll",
                        FindPositions{},
                        {kPartly},
                        0},
            // Rows 3, 4 and 5 for positions 1, 2 and 3: No at the second.
            ClosingCase{"Three",
                        "three matches",
                        "mnuEditFind",
                        FindPositions{1, 2, 3},
                        {kGoOn, kGoOn, kDone},
                        4}),
        ::testing::Values("CHS", "ENG")),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + std::get<1>(info.param);
    });

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
