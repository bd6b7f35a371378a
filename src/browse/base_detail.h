// BaseDetail is the data source of the browse window's ledger: the ledger
// holds no data of its own and asks for the text of a row when it paints it.
// BaseDetail keeps the record set of the price entries of the selected tree
// leaf, the ledger columns of the current grouping, and the ledger; it lays
// out the two title rows, merges and hides header cells and columns.
//
// Ledger rows 1 and 2 are the title rows; data row r shows record r - 2 of
// Records, so the ledger has RecordCount + 2 rows. A row's text is its cells
// left to right, each followed by "|". Column 1 holds FEntryID and is hidden.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browse/ledger_overlaps.h"
#include "host/controls/ledger.h"
#include "host/controls/signal.h"
#include "host/dictionary.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"

namespace orva {

// One ledger column: the statement column it shows, its localised caption
// and the value type (record set type codes: 0 text, 2 flag, 3 integer,
// 5 double, 7 date; 4, 6 and 131 also count as numeric).
struct LedgerColumn {
    std::string field;
    std::string caption;
    std::int16_t valueType = 0;

    bool IsNumeric() const {
        return valueType == 3 || valueType == 4 || valueType == 5 || valueType == 6 ||
               valueType == 131;
    }
};

class BaseDetail : public LedgerSource {
  public:
    static constexpr int kTitleRows = 2;
    static constexpr int kItemLayoutCols = 17;
    static constexpr int kCustomerLayoutCols = 18;

    // The newest BaseDetail is the one the context's g_LedgerRecords shows
    // until it is destroyed.
    explicit BaseDetail(ModuleContext& ctx);
    ~BaseDetail();
    BaseDetail(const BaseDetail&) = delete;
    BaseDetail& operator=(const BaseDetail&) = delete;

    // The ledger record set; null while the ledger shows a group. Replacing
    // it (search all does) keeps the ledger's row count; the caller sets it.
    const RecordsetPtr& Records() const { return records_; }
    void SetRecords(RecordsetPtr records);
    // The ledger shows a group (the root or a group node): no records, the
    // two title rows only, a new empty Dict.
    void ShowGroup();
    // Every change of Records: a load, a record set taken, a group shown.
    [[nodiscard]] Subscription OnRecordsChanged(std::function<void()> fn) {
        return recordsChanged_.Subscribe(std::move(fn));
    }

    // The selection dictionary: FEntryID texts to row numbers. Renewed empty
    // by every TakeJournalData; nothing of the module adds to it.
    Dictionary& Dict() { return *dict_; }

    // The ledger; not owned. Setting it does not make this object the
    // ledger's row source: the window does that (SetSource), or answers the
    // ledger's row requests with TRowData and DRowData itself.
    void SetLDG(Ledger* ledger) { ldg_ = ledger; }
    Ledger* LDG() const { return ldg_; }

    // Whether the tree shows items; the browse window keeps it beside the
    // layout that GetTitleInfo sets.
    bool ByItem() const { return byItem_; }
    void SetByItem(bool byItem) { byItem_ = byItem; }

    // The text of data row `row` (3 and on): record row - 3 of Records, the
    // last record for a row beyond them. `column` is not used. Errors are
    // passed over.
    void DRowData(std::int32_t row, std::int32_t column, std::string& text);
    // The text of title row 1 or 2 (any other row: a blank cell per column);
    // sets the numeric columns right-aligned. Errors are passed over.
    void TRowData(std::int32_t row, std::string& text);
    // Loads the ledger data: runs the statement through the context's connection
    // when `records` is null, otherwise takes `records` without running
    // anything. Sets the ledger's
    // row count and renews Dict. A statement that fails leaves an empty
    // record set, so the ledger shows only its title rows. `result` is left
    // false.
    void TakeJournalData(std::string_view statement, RecordsetPtr records, bool& result);
    // The column layout: the item tree's (true, 17 columns: the customers'
    // prices of one item) or the customer tree's (false, 18 columns: one
    // customer's prices of all items). Sets the ledger's column count and
    // hides column 1.
    void GetTitleInfo(bool byItem);
    // Merges the title cells (the minimum-price currency's row-1 cell with
    // the price's; rows 1 and 2 of every other column but the price's), hides
    // the FCustID and FSELCyID columns and right-aligns the last column.
    void MergeAction();

    // LedgerSource: TRowData for rows 1 and 2, DRowData for the others.
    std::string RowText(int row) override;
    // LedgerSource: a data row whose entry overlaps another row's is marked;
    // its note names the other entries (number, price, band and period).
    bool RowMarked(int row) override;
    std::string RowNote(int row) override;
    // The records that overlap another, asked of the records Records hold.
    LedgerOverlaps& Overlaps() { return overlaps_; }

    const std::vector<LedgerColumn>& Columns() const { return columns_; }
    // The ledger column (from 1) that shows `field` (exact name) in the item
    // tree's layout or the customer tree's; 0 when it shows no such field.
    static int ColumnOf(bool byItem, std::string_view field);

  private:
    ModuleContext& ctx_;

    void BindColumns();
    void MarkOverlaps();
    void SetRowsForRecords();

    Ledger* ldg_ = nullptr;
    RecordsetPtr records_;
    std::shared_ptr<Dictionary> dict_;
    std::vector<LedgerColumn> columns_;
    // Ordinal in Records of each column's field (-1 when absent), computed
    // when the records or the layout change, so that a row is read in
    // constant time.
    std::vector<int> ordinals_;
    LedgerOverlaps overlaps_;
    bool byItem_ = false;
    Signal<> recordsChanged_;
};

}  // namespace orva
