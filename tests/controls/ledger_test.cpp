// The ledger model: rows asked of the owner only when read, own texts,
// merges, column settings, text lines and the current/selected row.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/controls/ledger.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// An owner that counts how often each row was asked for.
class CountingSource : public LedgerSource {
  public:
    std::string RowText(int row) override {
        ++asked[row];
        return std::to_string(row) + "|" + prefix + std::to_string(row) + "||";
    }
    int Total() const {
        int n = 0;
        for (const auto& [row, count] : asked) n += count;
        return n;
    }
    std::map<int, int> asked;
    std::string prefix = "name";
};

TEST(LedgerRows, AMillionRowsAreAskedForOnlyWhenRead) {
    CountingSource source;
    Ledger l;
    l.SetSource(&source);
    l.SetCols(3);
    l.SetRows(1'000'000);
    EXPECT_EQ(source.Total(), 0);

    EXPECT_EQ(l.CellText(500'000, 2), "name500000");
    EXPECT_EQ(l.CellText(500'000, 3), "");  // the empty cell between the bars
    EXPECT_EQ(l.CellText(500'000, 1), "500000");
    EXPECT_EQ(source.asked[500'000], 1);  // one fetch serves the whole row
    EXPECT_EQ(l.CellText(1'000'001, 1), "");
    EXPECT_EQ(l.CellText(5, 4), "");  // beyond the columns
    EXPECT_EQ(source.Total(), 1);

    l.ForceRefresh();
    source.prefix = "new";
    EXPECT_EQ(l.CellText(500'000, 2), "new500000");
    EXPECT_EQ(source.asked[500'000], 2);
    EXPECT_EQ(l.SourceFetches(), 2u);
}

TEST(LedgerRows, ResettingTheCountDropsStaleRowsButKeepsTitleRows) {
    CountingSource source;
    Ledger l;
    l.SetSource(&source);
    l.SetCols(3);
    l.SetRows(2);
    l.SetRowText(1, "|客户代码|最低限价||");
    l.SetCellText(2, 3, "金额");  // row 2 is asked once, for its other cells
    EXPECT_EQ(l.CellText(2, 2), "name2");
    l.SetRows(10);
    EXPECT_EQ(l.CellText(1, 2), "客户代码");
    EXPECT_EQ(l.CellText(2, 3), "金额");
    EXPECT_EQ(l.CellText(7, 2), "name7");
    l.ForceRefresh();
    EXPECT_EQ(l.CellText(2, 3), "金额");
    EXPECT_EQ(source.asked.count(1), 0u);  // own rows are not asked again
    EXPECT_EQ(source.asked[2], 1);

    // Loading new data: two rows, then the new count. Row 7 is asked again.
    source.prefix = "other";
    l.SetRows(2);
    l.SetRows(8);
    EXPECT_EQ(l.CellText(7, 2), "other7");
    EXPECT_EQ(l.CellText(1, 2), "客户代码");

    // Setting one cell of a fetched row keeps its other cells.
    l.SetCellText(5, 3, "x");
    EXPECT_EQ(l.CellText(5, 2), "other5");
    EXPECT_EQ(l.CellText(5, 3), "x");
    EXPECT_TRUE(l.HasOwnText(5));

    l.Clear();
    EXPECT_EQ(l.Rows(), 8);
    EXPECT_EQ(l.CellText(1, 2), "other1") << "after Clear title rows come from the owner";
}

TEST(LedgerRows, CurrentCellAndSelectionStayInside) {
    CountingSource source;
    Ledger l;
    l.SetSource(&source);
    l.SetCols(2);
    l.SetRows(6);
    l.SetRow(4);
    l.SetCol(2);
    EXPECT_EQ(l.Text(), "name4");
    l.SetText("edited");
    EXPECT_EQ(l.CellText(4, 2), "edited");
    l.SetSelRow(6);
    l.SetRows(3);
    EXPECT_EQ(l.Row(), 3);
    EXPECT_EQ(l.SelRow(), 0);
    EXPECT_THROW(l.SetRow(4), ComError);
    EXPECT_THROW(l.SetSelRow(-1), ComError);
    EXPECT_THROW(l.SetRowText(0, "x|"), ComError);
    EXPECT_THROW(l.SetColHidden(3, true), ComError);
    EXPECT_THROW(l.SetRows(-1), ComError);

    int dbl = 0;
    auto sub = l.OnDblClick([&] { ++dbl; });
    l.UserDblClick(2, 1);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(l.SelRow(), 2);
    EXPECT_EQ(l.Row(), 2);
    EXPECT_EQ(l.Col(), 1);
}

TEST(LedgerLayout, MergesColumnsColoursAndTextLines) {
    Ledger l;
    l.SetCols(17);
    l.SetRows(2);
    l.Merge(1, 2, 2, 2);
    l.Merge(1, 12, 1, 13);
    l.Merge(1, 12, 1, 13);  // the same merge twice is one merge
    EXPECT_EQ(l.Merges().size(), 2u);
    ASSERT_TRUE(l.MergeAt(1, 13));
    EXPECT_EQ(l.MergeAt(1, 13)->col1, 12);
    EXPECT_FALSE(l.MergeAt(2, 13));
    // A merge over an earlier one replaces it.
    l.Merge(1, 12, 2, 12);
    EXPECT_EQ(l.Merges().size(), 2u);
    EXPECT_FALSE(l.MergeAt(1, 13));
    l.Merge(2, 5, 2, 5);  // one cell merges nothing
    EXPECT_EQ(l.Merges().size(), 2u);
    EXPECT_THROW(l.Merge(2, 1, 1, 1), ComError);
    EXPECT_THROW(l.Merge(0, 1, 1, 1), ComError);
    l.SetCols(11);  // merges starting beyond the columns go
    EXPECT_EQ(l.Merges().size(), 1u);

    l.SetColHidden(1, true);
    l.SetColWidth(3, 2400);
    l.SetColAlignment(5, Ledger::kAlignRight);
    EXPECT_TRUE(l.ColHidden(1));
    EXPECT_EQ(l.ColWidth(3), 2400);
    EXPECT_EQ(l.ColWidth(4), Ledger::kDefaultColWidth);
    EXPECT_EQ(l.ColAlignment(5), Ledger::kAlignRight);
    EXPECT_THROW(l.SetColAlignment(5, 7), ComError);
    EXPECT_EQ(l.RowBkColor(2), kWhite);
    l.SetRowBkColor(2, Rgb(200, 0, 0));
    EXPECT_EQ(l.RowBkColor(2), 200u);

    l.SetTextline(1, "Alpha Trading价格信息");
    l.SetTextlineFontName(1, "宋体");
    l.SetTextlineFontCharset(8, 134);
    EXPECT_EQ(l.Textline(1).text, "Alpha Trading价格信息");
    EXPECT_EQ(l.Textline(1).fontName, "宋体");
    EXPECT_EQ(l.Textline(8).fontCharset, 134);
    EXPECT_THROW(l.SetTextline(9, "x"), ComError);
    EXPECT_THROW(l.Textline(0), ComError);
}

TEST(LedgerNotices, RedrawOffSendsOneNoticeAndReadsSendNone) {
    CountingSource source;
    Ledger l;
    l.SetSource(&source);
    l.SetCols(3);
    std::vector<GridChange> seen;
    auto sub = l.Subscribe([&](const GridChange& c) { seen.push_back(c); });
    l.SetRedraw(false);
    l.SetRows(100);
    for (int r = 3; r <= 100; ++r) l.SetRowText(r, "a|b|c|");
    l.SetColHidden(1, true);
    EXPECT_TRUE(seen.empty());
    l.SetRedraw(true);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].Has(GridChange::kLayout));
    EXPECT_EQ(seen[0].cells, CellBlock::Rows(3, 100));

    seen.clear();
    l.CellText(50, 1);  // reading is no change
    l.CellText(2, 1);
    EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace orva
