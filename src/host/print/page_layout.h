// The page layout of a printed ledger, worked out in one pass before any
// page is painted, so that the page count is known for the footer of page 1.
// Every row has the same height, so a page holds a fixed number of data rows
// below the heading lines and the two title rows, which repeat on every
// page. Columns wider than the page are either scaled down to fit it (the
// whole page is drawn at that scale) or split into bands that continue on
// further pages; the pages of one group of rows come one after the other,
// band by band.
//
// Units are the caller's (device pixels, points): the layout only adds and
// compares them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/controls/ledger.h"

namespace orva {

// A column the print shows: its ledger column, width and alignment.
struct PrintColumn {
    int col = 0;
    double width = 0;
    int alignment = Ledger::kAlignLeft;
};

struct PageMetrics {
    double width = 0;  // the printable area
    double height = 0;
    double headingHeight = 0;   // text line 1
    double dateHeight = 0;      // text lines 2 and 3
    double titleRowHeight = 0;  // each of the ledger's two title rows
    double rowHeight = 0;       // each data row
    double footerHeight = 0;    // text lines 6 and 7
};

struct PrintPage {
    int number = 0;       // 1-based
    int firstRow = 0;     // ledger row of the first data row (3 and on)
    int rows = 0;         // data rows on the page (0 on a ledger without any)
    int firstColumn = 0;  // index into Columns()
    int columns = 0;
};

class PageLayout {
  public:
    static constexpr int kFirstDataRow = 3;

    // `dataRows` rows below the two title rows; `fitToWidth` scales wide
    // columns down instead of splitting them into bands.
    PageLayout(std::vector<PrintColumn> columns, int dataRows, const PageMetrics& metrics,
               bool fitToWidth);

    const std::vector<PrintColumn>& Columns() const { return columns_; }
    // The scale the page is drawn at (1, or less when fitted to the width).
    double Scale() const { return scale_; }
    // The page's size in unscaled units (the printable area divided by the scale).
    double PageWidth() const { return metrics_.width / scale_; }
    double PageHeight() const { return metrics_.height / scale_; }
    const PageMetrics& Metrics() const { return metrics_; }
    int RowsPerPage() const { return rowsPerPage_; }
    int Bands() const { return static_cast<int>(bands_.size()); }
    int PageCount() const { return rowPages_ * Bands(); }
    // Page `number` (1-based); outside 1..PageCount raises ComError.
    PrintPage Page(int number) const;

  private:
    struct Band {
        int first = 0;
        int count = 0;
    };
    std::vector<PrintColumn> columns_;
    PageMetrics metrics_;
    int dataRows_ = 0;
    double scale_ = 1;
    int rowsPerPage_ = 1;
    int rowPages_ = 1;
    std::vector<Band> bands_;
};

// The columns of a ledger that a print shows, left to right: every column
// neither hidden nor of width 0, with its width in twips.
std::vector<PrintColumn> PrintColumnsOf(const Ledger& ledger);

// The text with "&[页]" replaced by the page number and "&[总页]" by the page
// count.
std::string ExpandPageFields(std::string_view text, int page, int pages);

}  // namespace orva
