// The ledger model: a grid whose rows are held virtually. It knows its row
// and column counts, but the text of a row comes from its owner (a
// LedgerSource), asked only when the row is painted or read, and kept in a
// small cache; a ledger of 1,000,000 rows costs nothing until painted. Text
// the owner sets directly (title rows, a whole row, one cell) stays with the
// ledger and is not asked of the source. Besides the cells: title-row
// merges, hidden columns, widths and alignment per column, row background
// colours, the current cell, one selected row, and the eight numbered text
// lines that print headers and footers use. Rows and columns are 1-based;
// rows 1 and 2 are the title rows by the owner's convention.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/controls/color.h"
#include "host/controls/grid_notifier.h"
#include "host/controls/page_setup.h"
#include "host/controls/signal.h"

namespace orva {

// The ledger's owner: gives the text of a row when the ledger needs it.
class LedgerSource {
  public:
    virtual ~LedgerSource() = default;
    // Row `row` (1-based, title rows included): its cells left to right,
    // each followed by "|" ("a|b||" holds a, b and an empty third cell).
    virtual std::string RowText(int row) = 0;
    // Whether row `row` carries a mark, which the view draws beside its
    // cells (the cells' texts stay as they are), and the note that says why
    // (the row's tool tip). No mark by default.
    virtual bool RowMarked(int row) {
        (void)row;
        return false;
    }
    virtual std::string RowNote(int row) {
        (void)row;
        return {};
    }
};

// Cells from (row1, col1) to (row2, col2) drawn as one.
struct LedgerMerge {
    int row1 = 0;
    int col1 = 0;
    int row2 = 0;
    int col2 = 0;
    bool Contains(int row, int col) const {
        return row >= row1 && row <= row2 && col >= col1 && col <= col2;
    }
    bool Overlaps(const LedgerMerge& o) const {
        return row1 <= o.row2 && o.row1 <= row2 && col1 <= o.col2 && o.col1 <= col2;
    }
    bool operator==(const LedgerMerge&) const = default;
};

// A numbered text line: line 1 is the title, the others headings and
// footers of a printed ledger.
struct LedgerTextline {
    std::string text;
    std::string fontName;
    int fontCharset = 0;
    int fontSize = 0;  // points, 0 = the ledger's own
    bool fontBold = false;
};

class Ledger {
  public:
    static constexpr int kTextlines = 8;
    static constexpr int kDefaultColWidth = 1200;  // twips
    // ColAlignment values.
    static constexpr int kAlignLeft = 0;
    static constexpr int kAlignRight = 1;
    static constexpr int kAlignCenter = 2;
    // Rows fetched from the source that are kept before the cache starts over.
    static constexpr std::size_t kRowCacheLimit = 4096;

    // The owner asked for row texts; not owned, may be null (rows without
    // text of their own are then empty).
    void SetSource(LedgerSource* source);

    // Counts. Shrinking drops what belonged to the rows or columns that go
    // (texts, colours, merges starting there) and moves the current cell and
    // the selected row back inside. Growing asks nothing of the source.
    // A negative count raises ComError.
    int Rows() const { return rows_; }
    void SetRows(int rows);
    int Cols() const { return cols_; }
    void SetCols(int cols);

    // Current cell; 0 means none. Setting a position outside the counts
    // raises ComError.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    // Text of the current cell ("" when there is none) and setting it.
    std::string Text();
    void SetText(std::string_view text);

    // Text of any cell; "" outside the counts. Asks the source for the row
    // when it has neither own text nor a cached copy.
    std::string CellText(int row, int col);
    // The cells of a row for painting; valid until the next call on the ledger.
    const std::vector<std::string>& RowCells(int row);
    // Own text of a row, as a source gives it ("a|b|"), or of one cell
    // (the row's other cells keep what they showed). A row outside the
    // counts, or a column outside them, raises ComError.
    void SetRowText(int row, std::string_view joined);
    void SetCellText(int row, int col, std::string_view text);
    bool HasOwnText(int row) const { return own_.count(row) != 0; }
    // The source's mark and note of a row; none without a source or outside
    // the counts.
    bool RowMarked(int row) const;
    std::string RowNote(int row) const;
    // Rows asked of the source so far.
    std::size_t SourceFetches() const { return fetches_; }

    // The selected row, 0 when none; outside 0..Rows raises ComError.
    int SelRow() const { return selRow_; }
    void SetSelRow(int row);

    bool ColHidden(int col) const;
    void SetColHidden(int col, bool hidden);
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);
    Color RowBkColor(int row) const;
    void SetRowBkColor(int row, Color color);

    // Merges the block; a merge overlapping earlier ones replaces them. An
    // empty or inverted block raises ComError; a single cell merges nothing.
    void Merge(int row1, int col1, int row2, int col2);
    std::optional<LedgerMerge> MergeAt(int row, int col) const;
    const std::vector<LedgerMerge>& Merges() const { return merges_; }

    // Text lines 1 to kTextlines; another number raises ComError.
    const LedgerTextline& Textline(int line) const;
    void SetTextline(int line, std::string_view text);
    void SetTextlineFontName(int line, std::string_view name);
    void SetTextlineFontCharset(int line, int charset);
    void SetTextlineFontSize(int line, int points);
    void SetTextlineFontBold(int line, bool bold);

    // The print setting a print job sets: the resolution the pages are laid
    // out for, in dots per inch, while a job runs (300), -1 at rest (the
    // printer's own).
    int PrintSetting() const { return printSetting_; }
    void SetPrintSetting(int value) { printSetting_ = value; }
    // The ledger's printer settings (its print setup).
    PageSetup& PrintPageSetup() { return pageSetup_; }
    const PageSetup& PrintPageSetup() const { return pageSetup_; }

    // Forgets the rows fetched from the source, so that every row is asked
    // for again when painted; own texts stay.
    void ForceRefresh();
    // Empties every row (own texts, fetched rows, colours), the merges and
    // the selected row; counts and column settings stay.
    void Clear();

    bool Redraw() const { return notifier_.Redraw(); }
    void SetRedraw(bool on) { notifier_.SetRedraw(on); }

    [[nodiscard]] Subscription Subscribe(std::function<void(const GridChange&)> fn) {
        return notifier_.Subscribe(std::move(fn));
    }

    // What the user did, raised by the view.
    [[nodiscard]] Subscription OnDblClick(std::function<void()> fn) {
        return dblClick_.Subscribe(std::move(fn));
    }
    // Key code and shift state (1 Shift, 2 Ctrl, 4 Alt); set the code to 0 to
    // consume the key.
    [[nodiscard]] Subscription OnKeyDown(std::function<void(int& keyCode, int shift)> fn) {
        return keyDown_.Subscribe(std::move(fn));
    }
    // A click makes the cell current and selects its row.
    void UserClick(int row, int col);
    // A double click does the same, then raises DblClick.
    void UserDblClick(int row, int col);
    int UserKeyDown(int keyCode, int shift);

  private:
    using Cells = std::vector<std::string>;
    static Cells SplitRow(std::string_view joined);
    static void CheckTextline(int line);
    LedgerTextline& TextlineRef(int line);
    void CheckCol(int col) const;
    void CheckRow(int row) const;
    void Notify(const GridChange& change) { notifier_.Notify(change); }

    LedgerSource* source_ = nullptr;
    int rows_ = 0;
    int cols_ = 0;
    int row_ = 0;
    int col_ = 0;
    int selRow_ = 0;
    std::unordered_map<int, Cells> own_;      // rows given text by the owner
    std::unordered_map<int, Cells> fetched_;  // rows asked of the source
    std::size_t fetches_ = 0;
    std::vector<bool> colHidden_;
    std::vector<int> colWidths_;
    std::vector<int> colAlign_;
    std::unordered_map<int, Color> rowColors_;
    std::vector<LedgerMerge> merges_;
    LedgerTextline textlines_[kTextlines];
    int printSetting_ = -1;
    PageSetup pageSetup_;

    GridNotifier notifier_;
    Signal<> dblClick_;
    Signal<int&, int> keyDown_;
};

}  // namespace orva
