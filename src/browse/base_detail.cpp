#include "browse/base_detail.h"

#include <exception>

#include "engine/overlap_text.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/controls/color.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

namespace {

constexpr std::int16_t kText = 0;
constexpr std::int16_t kFlag = 2;
constexpr std::int16_t kInteger = 3;
constexpr std::int16_t kDouble = 5;
constexpr std::int16_t kDate = 7;

// A record set with no columns and no rows: what the ledger shows when its
// statement fails.
RecordsetPtr EmptyRecords() {
    return std::make_shared<Recordset>(std::vector<std::string>{}, std::vector<Variant>{});
}

// The ledger's columns of each tree, left to right from column 1.
struct Layout {
    const char* field;
    const char* caption;
    std::int16_t type;
};
// Captions are looked up when the layout is built, in the session's
// language.
const Layout kItemTree[BaseDetail::kItemLayoutCols] = {
    {"FEntryID", "", kText},
    {"FNumber", N_("客户代码"), kText},
    {"FName", N_("客户名称"), kText},
    {"FUnitName", N_("计量单位"), kText},
    {"FStartQty", N_("销货量(从)"), kDouble},
    {"FEndQty", N_("销货量(到)"), kDouble},
    {"FPrice", N_("报价"), kDouble},
    {"FCyName", N_("币别"), kText},
    {"FLeadTime", N_("提前期(天)"), kInteger},
    {"FCustID", N_("内码"), kInteger},
    {"FSELCyID", N_("币别内码"), kInteger},
    {"FSELCyName", N_("币别"), kText},
    {"FSELowPrice", N_("金额"), kDouble},
    {"FQuoteTime", N_("生效日期"), kDate},
    {"FUsed", N_("审核状态"), kFlag},
    {"FExpireDate", N_("失效日期"), kDate},
    {"FNote", N_("备注"), kText},
};
const Layout kCustomerTree[BaseDetail::kCustomerLayoutCols] = {
    {"FEntryID", "", kText},
    {"FNumber", N_("物料代码"), kText},
    {"FName", N_("物料名称"), kText},
    {"FModel", N_("规格型号"), kText},
    {"FUnitName", N_("计量单位"), kText},
    {"FStartQty", N_("销货量(从)"), kDouble},
    {"FEndQty", N_("销货量(到)"), kDouble},
    {"FPrice", N_("报价"), kDouble},
    {"FCyName", N_("币别"), kText},
    {"FLeadTime", N_("提前期(天)"), kInteger},
    {"FItemID", N_("内码"), kInteger},
    {"FSELCyID", N_("币别内码"), kInteger},
    {"FSELCyName", N_("币别"), kText},
    {"FSELowPrice", N_("金额"), kDouble},
    {"FQuoteTime", N_("生效日期"), kDate},
    {"FUsed", N_("审核状态"), kFlag},
    {"FExpireDate", N_("失效日期"), kDate},
    {"FNote", N_("备注"), kText},
};

bool SameNameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

// Appends the value as the ledger shows it: Null as nothing, blanks trimmed
// at both ends.
void AppendTrimmed(const Variant& value, std::string& text) {
    if (value.IsNull())
        return;
    if (const std::string* s = value.AsText()) {
        std::string_view v(*s);
        while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
        while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
        text += v;
        return;
    }
    text += value.ToText();
}

}  // namespace

BaseDetail::BaseDetail(ModuleContext& ctx) : ctx_(ctx), dict_(std::make_shared<Dictionary>()) {
    ctx_.g_LedgerRecords.Show(&records_);
}

BaseDetail::~BaseDetail() {
    ctx_.g_LedgerRecords.Release(&records_);
}

void BaseDetail::SetRecords(RecordsetPtr records) {
    records_ = std::move(records);
    BindColumns();
    MarkOverlaps();
    recordsChanged_.Emit();
}

void BaseDetail::ShowGroup() {
    records_.reset();
    BindColumns();
    MarkOverlaps();
    SetRowsForRecords();
    dict_ = std::make_shared<Dictionary>();
    recordsChanged_.Emit();
}

void BaseDetail::SetRowsForRecords() {
    if (!ldg_)
        return;
    const long count = records_ ? records_->RecordCount() : 0;
    PassOver([&] {
        ldg_->SetRows(kTitleRows);
        ldg_->SetRows(static_cast<int>(count) + kTitleRows);
    });
}

void BaseDetail::MarkOverlaps() {
    overlaps_.Reset(nullptr);
    if (records_)
        PassOver([&] { overlaps_.Reset(records_.get()); });
}

void BaseDetail::BindColumns() {
    ordinals_.assign(columns_.size(), -1);
    if (!records_)
        return;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        ordinals_[i] = records_->ColumnIndex(columns_[i].field);
}

int BaseDetail::ColumnOf(bool byItem, std::string_view field) {
    const Layout* layout = byItem ? kItemTree : kCustomerTree;
    const int count = byItem ? kItemLayoutCols : kCustomerLayoutCols;
    for (int i = 0; i < count; ++i) {
        if (field == layout[i].field)
            return i + 1;
    }
    return 0;
}

void BaseDetail::GetTitleInfo(bool byItem) {
    if (ldg_ && ldg_->Cols() >= 1)
        ldg_->SetColHidden(1, false);

    columns_.clear();
    const Layout* layout = byItem ? kItemTree : kCustomerTree;
    const int count = byItem ? kItemLayoutCols : kCustomerLayoutCols;
    for (int i = 0; i < count; ++i) {
        LedgerColumn column;
        column.field = layout[i].field;
        if (*layout[i].caption)
            column.caption = GetResText(layout[i].caption);
        column.valueType = layout[i].type;
        columns_.push_back(std::move(column));
    }
    BindColumns();

    if (ldg_) {
        ldg_->SetCols(count);
        ldg_->SetColHidden(1, true);
        // The ledger keeps a column's alignment when its column count is
        // set: a column of the other tree's layout must not stay
        // right-aligned here. The row texts align the numbers again.
        for (int c = 1; c <= count; ++c) ldg_->SetColAlignment(c, Ledger::kAlignLeft);
    }
}

void BaseDetail::TakeJournalData(std::string_view statement, RecordsetPtr records, bool& result) {
    (void)result;  // left as the caller passed it
    if (!records) {
        // The previous ledger goes before the new one is read, so that two
        // large ledgers are never held at once; a statement that fails leaves
        // the empty set, and the ledger shows its title rows only.
        records_ = EmptyRecords();
        PassOver([&] { records_ = ctx_.Connection().Execute(statement); });
    } else {
        records_ = std::move(records);
    }
    BindColumns();
    MarkOverlaps();
    SetRowsForRecords();
    dict_ = std::make_shared<Dictionary>();
    recordsChanged_.Emit();
}

void BaseDetail::TRowData(std::int32_t row, std::string& text) {
    text.clear();
    auto alignNumeric = [&](std::size_t i) {
        if (ldg_ && columns_[i].IsNumeric()) {
            PassOver([&] { ldg_->SetColAlignment(static_cast<int>(i) + 1, Ledger::kAlignRight); });
        }
    };
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const LedgerColumn& column = columns_[i];
        const bool minCurrency = SameNameNoCase(column.field, "FSELCyName");
        const bool minPrice = SameNameNoCase(column.field, "FSELowPrice");
        if (row == 1) {
            // The common title of the minimum price falls in the currency's
            // cell; the price's cell stays empty.
            if (minPrice)
                text += GetResText("最低限价") + "||";
            else if (!minCurrency)
                text += column.caption + "|";
            alignNumeric(i);
        } else if (row == 2) {
            if (minCurrency || minPrice)
                text += column.caption;
            text += '|';
        } else {
            text += " |";
            alignNumeric(i);
        }
    }
}

void BaseDetail::DRowData(std::int32_t row, std::int32_t column, std::string& text) {
    (void)column;
    text.clear();
    Recordset* rs = records_.get();
    if (!rs)
        return;
    // Record row - 3, or the last record for a row beyond them.
    PassOver([&] {
        rs->MoveFirst();
        rs->Move(static_cast<long>(row) - 3);
        if (rs->EOF_())
            rs->MoveLast();
        if (rs->BOF())
            rs->MoveFirst();
    });
    const long pos = rs->AbsolutePosition();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const int ordinal = ordinals_[i];
        if (ordinal >= 0) {
            PassOver([&] { AppendTrimmed(rs->Cell(pos, ordinal), text); });
        }
        text += '|';
    }
    // Nothing is ever selected through Dict, so every data row is white.
    if (ldg_ && dict_->Count() == 0) {
        PassOver([&] {
            if (ldg_->RowBkColor(row) != kWhite)
                ldg_->SetRowBkColor(row, kWhite);
        });
    }
}

void BaseDetail::MergeAction() {
    if (!ldg_)
        return;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::string& field = columns_[i].field;
        const int col = static_cast<int>(i) + 1;
        PassOver([&] {
            if (SameNameNoCase(field, "FSELCYNAME"))
                ldg_->Merge(1, col, 1, col + 1);
            else if (!SameNameNoCase(field, "FSELOWPRICE"))
                ldg_->Merge(1, col, 2, col);
        });
        PassOver([&] {
            if (field == "FCustID" || field == "FSELCyID")
                ldg_->SetColHidden(col, true);
        });
    }
    PassOver(
        [&] { ldg_->SetColAlignment(static_cast<int>(columns_.size()), Ledger::kAlignRight); });
}

bool BaseDetail::RowMarked(int row) {
    bool marked = false;
    PassOver([&] { marked = row > kTitleRows && overlaps_.Marked(row - kTitleRows - 1); });
    return marked;
}

std::string BaseDetail::RowNote(int row) {
    if (!RowMarked(row) || !records_)
        return {};
    const Recordset& rs = *records_;
    const int id = rs.ColumnIndex("FEntryID"), price = rs.ColumnIndex("FPrice");
    const int start = rs.ColumnIndex("FStartQty"), end = rs.ColumnIndex("FEndQty");
    const int from = rs.ColumnIndex("FQuoteTime"), to = rs.ColumnIndex("FExpireDate");
    auto number = [&](long r, int col) { return col < 0 ? 0.0 : rs.Cell(r, col).ToDouble(); };
    auto date = [&](long r, int col) {
        const std::optional<Date> d = col < 0 ? std::nullopt : rs.Cell(r, col).ToDate();
        return d ? d->ToText() : std::string();
    };
    std::string note = GetResText("与以下价格的销货量和有效期重叠：");
    PassOver([&] {
        for (long other : overlaps_.Others(row - kTitleRows - 1)) {
            note += '\n';
            note += OverlapEntryText(static_cast<std::int32_t>(number(other, id)),
                                     number(other, price), number(other, start), number(other, end),
                                     date(other, from), date(other, to));
        }
    });
    return note;
}

std::string BaseDetail::RowText(int row) {
    std::string text;
    if (row <= kTitleRows)
        TRowData(row, text);
    else
        DRowData(row, 0, text);
    return text;
}

}  // namespace orva
