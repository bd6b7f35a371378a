// The page layout of a printed ledger: rows per page, page count, bands of
// wide columns, the scale that fits them, hidden columns, page fields.
#include <gtest/gtest.h>

#include "host/print/page_layout.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// A page of 1000 x 1000 units: heading 60, date 20, two title rows of 20,
// footer 20, so 860 for data rows of 20: 43 rows a page.
PageMetrics Metrics() {
    return {.width = 1000,
            .height = 1000,
            .headingHeight = 60,
            .dateHeight = 20,
            .titleRowHeight = 20,
            .rowHeight = 20,
            .footerHeight = 20};
}

std::vector<PrintColumn> Columns(std::initializer_list<double> widths) {
    std::vector<PrintColumn> columns;
    int col = 2;
    for (double w : widths) columns.push_back({col++, w, Ledger::kAlignLeft});
    return columns;
}

TEST(PageLayout, RowsPerPageAndPageCount) {
    struct Case {
        int rows;
        int pages;
        int lastPageRows;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{1, 1, 1}, Case{43, 1, 43}, Case{44, 2, 1},
                          Case{86, 2, 43}, Case{20000, 466, 5}}) {
        PageLayout layout(Columns({300, 300}), c.rows, Metrics(), true);
        EXPECT_EQ(layout.RowsPerPage(), 43);
        ASSERT_EQ(layout.PageCount(), c.pages) << c.rows;
        const PrintPage last = layout.Page(c.pages);
        EXPECT_EQ(last.rows, c.lastPageRows) << c.rows;
        EXPECT_EQ(last.firstRow, 3 + (c.pages - 1) * 43) << c.rows;
        EXPECT_EQ(last.number, c.pages);
    }
    // A page too small for one data row still takes one.
    PageMetrics tiny = Metrics();
    tiny.height = 50;
    EXPECT_EQ(PageLayout(Columns({100}), 3, tiny, true).PageCount(), 3);
    EXPECT_THROW(PageLayout(Columns({100}), 3, Metrics(), true).Page(0), ComError);
    EXPECT_THROW(PageLayout(Columns({100}), 3, Metrics(), true).Page(2), ComError);
}

TEST(PageLayout, WideColumnsAreScaledToFitOrSplitIntoBands) {
    // 2000 units of columns on a 1000-unit page.
    const auto wide = Columns({600, 600, 400, 400});
    PageLayout fitted(wide, 100, Metrics(), true);
    EXPECT_DOUBLE_EQ(fitted.Scale(), 0.5);
    EXPECT_EQ(fitted.Bands(), 1);
    EXPECT_DOUBLE_EQ(fitted.PageHeight(), 2000);
    EXPECT_EQ(fitted.RowsPerPage(), 93);  // (2000 - 140) / 20
    EXPECT_EQ(fitted.PageCount(), 2);
    EXPECT_EQ(fitted.Page(1).columns, 4);

    PageLayout banded(wide, 100, Metrics(), false);
    EXPECT_DOUBLE_EQ(banded.Scale(), 1);
    ASSERT_EQ(banded.Bands(), 3);  // 600 | 600+400 | 400
    EXPECT_EQ(banded.RowsPerPage(), 43);
    EXPECT_EQ(banded.PageCount(), 9);
    // Pages go band by band for the same rows, then on to the next rows.
    const PrintPage p2 = banded.Page(2), p3 = banded.Page(3), p4 = banded.Page(4);
    EXPECT_EQ(p2.firstColumn, 1);
    EXPECT_EQ(p2.columns, 2);
    EXPECT_EQ(p2.firstRow, 3);
    EXPECT_EQ(p3.firstColumn, 3);
    EXPECT_EQ(p4.firstColumn, 0);
    EXPECT_EQ(p4.firstRow, 46);
    // A single column wider than the page has a band of its own.
    EXPECT_EQ(PageLayout(Columns({1500, 100}), 1, Metrics(), false).Bands(), 2);
    // Narrow columns are never stretched.
    EXPECT_DOUBLE_EQ(PageLayout(Columns({100}), 1, Metrics(), true).Scale(), 1);
}

TEST(PageLayout, HiddenAndZeroWidthColumnsAreNotPrinted) {
    Ledger ledger;
    ledger.SetCols(6);
    ledger.SetColHidden(1, true);
    ledger.SetColHidden(4, true);
    ledger.SetColWidth(5, 0);
    ledger.SetColWidth(6, 800);
    ledger.SetColAlignment(6, Ledger::kAlignRight);
    const std::vector<PrintColumn> columns = PrintColumnsOf(ledger);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].col, 2);
    EXPECT_EQ(columns[1].col, 3);
    EXPECT_EQ(columns[2].col, 6);
    EXPECT_DOUBLE_EQ(columns[0].width, Ledger::kDefaultColWidth);
    EXPECT_DOUBLE_EQ(columns[2].width, 800);
    EXPECT_EQ(columns[2].alignment, Ledger::kAlignRight);
}

TEST(PageLayout, PageFieldsAreReplacedInTheFooter) {
    EXPECT_EQ(ExpandPageFields("第&[页]页/共&[总页]页  ", 3, 12), "第3页/共12页  ");
    EXPECT_EQ(ExpandPageFields("Page &[页] of &[总页]", 1, 1), "Page 1 of 1");
    EXPECT_EQ(ExpandPageFields("&[页]&[页]&[", 7, 9), "77&[");
    EXPECT_EQ(ExpandPageFields("", 1, 1), "");
}

}  // namespace
}  // namespace orva
