#include "host/print/page_layout.h"

#include <algorithm>
#include <cmath>

#include "orvasaleprice/com_error.h"

namespace orva {

PageLayout::PageLayout(std::vector<PrintColumn> columns, int dataRows, const PageMetrics& metrics,
                       bool fitToWidth)
    : columns_(std::move(columns)), metrics_(metrics), dataRows_(std::max(dataRows, 0)) {
    double total = 0;
    for (const PrintColumn& c : columns_) total += c.width;
    if (fitToWidth && total > metrics_.width && metrics_.width > 0)
        scale_ = metrics_.width / total;

    // Columns in bands no wider than the page; a column wider than the page
    // alone takes a band of its own.
    const double width = PageWidth();
    Band band;
    double used = 0;
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        const double w = columns_[static_cast<std::size_t>(i)].width;
        if (band.count > 0 && used + w > width * (1 + 1e-9)) {
            bands_.push_back(band);
            band = Band{i, 0};
            used = 0;
        }
        ++band.count;
        used += w;
    }
    bands_.push_back(band);  // also the one empty band of a ledger without columns

    const double fixed = metrics_.headingHeight + metrics_.dateHeight +
                         2 * metrics_.titleRowHeight + metrics_.footerHeight;
    if (metrics_.rowHeight > 0)
        rowsPerPage_ = std::max(
            1, static_cast<int>(std::floor((PageHeight() - fixed) / metrics_.rowHeight + 1e-9)));
    rowPages_ = std::max(1, (dataRows_ + rowsPerPage_ - 1) / rowsPerPage_);
}

PrintPage PageLayout::Page(int number) const {
    if (number < 1 || number > PageCount())
        throw ComError(ComError::kGeneric, "There is no page " + std::to_string(number));
    const int rowPage = (number - 1) / Bands();
    const Band& band = bands_[static_cast<std::size_t>((number - 1) % Bands())];
    PrintPage page;
    page.number = number;
    page.firstRow = kFirstDataRow + rowPage * rowsPerPage_;
    page.rows = std::clamp(dataRows_ - rowPage * rowsPerPage_, 0, rowsPerPage_);
    page.firstColumn = band.first;
    page.columns = band.count;
    return page;
}

std::vector<PrintColumn> PrintColumnsOf(const Ledger& ledger) {
    std::vector<PrintColumn> columns;
    for (int c = 1; c <= ledger.Cols(); ++c) {
        if (ledger.ColHidden(c) || ledger.ColWidth(c) <= 0)
            continue;
        columns.push_back({c, static_cast<double>(ledger.ColWidth(c)), ledger.ColAlignment(c)});
    }
    return columns;
}

std::string ExpandPageFields(std::string_view text, int page, int pages) {
    static constexpr std::string_view kPage = "&[页]";
    static constexpr std::string_view kPages = "&[总页]";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, kPage.size()) == kPage) {
            out += std::to_string(page);
            i += kPage.size();
        } else if (text.substr(i, kPages.size()) == kPages) {
            out += std::to_string(pages);
            i += kPages.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace orva
