// Print, preview, print setup, export and column show/hide from the browse
// window. Printing hands the ledger to the print component after writing the
// heading and footer into the ledger's text lines; export hands the visible
// columns to the export component, which pulls the rows back through
// LoadData. Neither changes what the ledger holds.
#include <string>

#include "browse/browse_base.h"
#include "browse/browse_settings.h"
#include "host/base/pass_over.h"
#include "host/column_chooser.h"
#include "host/component_registry.h"
#include "host/export/export_component.h"
#include "host/host_ui.h"
#include "host/print/ledger_print.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"
#include "session/res_text.h"
#include "session/rights.h"

namespace orva {
namespace {

constexpr std::int32_t kPrintRight = 0x8000;
constexpr int kPrintResolution = 300;
constexpr const char* kExportTitle = N_("价格资料");

ExportKind KindOf(const LedgerColumn& column) {
    if (column.IsNumeric())
        return ExportKind::kNumber;
    if (column.valueType == 7)
        return ExportKind::kDate;
    return ExportKind::kText;
}

// Calls f(col, k) for each column the ledger shows after its key column, k
// counting them from 1, with the ledger's current column moved there: the
// export's columns in order.
template <class F>
void ForEachShownColumn(Ledger& ledger, F f) {
    const int cols = ledger.Cols();
    int k = 0;
    for (int col = 2; col <= cols; ++col) {
        ledger.SetCol(col);
        if (ledger.ColHidden(col))
            continue;
        f(col, ++k);
    }
}

// Puts the current cell back where it was when the scope ends.
class KeepCurrentCell {
  public:
    explicit KeepCurrentCell(Ledger& ledger)
        : ledger_(ledger), row_(ledger.Row()), col_(ledger.Col()) {}
    ~KeepCurrentCell() {
        PassOver([this] {
            if (row_ <= ledger_.Rows())
                ledger_.SetRow(row_);
            if (col_ <= ledger_.Cols())
                ledger_.SetCol(col_);
        });
    }
    KeepCurrentCell(const KeepCurrentCell&) = delete;
    KeepCurrentCell& operator=(const KeepCurrentCell&) = delete;

  private:
    Ledger& ledger_;
    int row_;
    int col_;
};

}  // namespace

void BrowseBase::mnuFilePrint() {
    PrintLedger(false);
}

void BrowseBase::mnuFilePreview() {
    PrintLedger(true);
}

void BrowseBase::PrintLedger(bool preview) {
    if (!CheckFunctionRight(ctx_, kPrintRight))
        return;
    try {
        ledger_.SetPrintSetting(kPrintResolution);
        ledger_.SetTextline(2, "");
        ledger_.SetTextline(3, Date::Today().ToText());
        ledger_.SetTextlineFontSize(1, 14);
        ledger_.SetTextlineFontBold(1, true);
        ledger_.SetTextline(6, "  ");
        // The print component puts the page number and the page count in
        // place of "&[页]" and "&[总页]".
        ledger_.SetTextline(7, GetResText("第&[页]页/共&[总页]页") + "  ");
        // The preview may change the page setup (orientation, paper): the
        // window keeps that choice as its print setup does.
        const PageSetup setup = ledger_.PrintPageSetup();
        {
            std::shared_ptr<LedgerPrint> print =
                ComponentRegistry::Create<LedgerPrint>(LedgerPrint::kProgID);
            print->Ldg4Print(ledger_, preview);
        }
        if (ledger_.PrintPageSetup() != setup)
            SavePageSetup();
        ledger_.SetPrintSetting(-1);
    } catch (const std::runtime_error& e) {
        // The print setting keeps its job value, as after any failed job.
        ctx_.Ui().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kNone, "");
    }
}

void BrowseBase::mnuFilePrintSetup() {
    std::shared_ptr<LedgerPrint> print =
        ComponentRegistry::Create<LedgerPrint>(LedgerPrint::kProgID);
    if (print->PrintSetup(ledger_))
        SavePageSetup();
}

void BrowseBase::mnuFileExport() {
    KeepCurrentCell keep(ledger_);
    try {
        oExport_ = ComponentRegistry::Create<ExportComponent>(ExportComponent::kProgID);
        Subscription loadData = oExport_->OnLoadData(
            [this](std::int64_t row, ExportRow& data) { oExport_LoadData(row, data); });

        const int cols = ledger_.Cols();
        int visible = 0;
        for (int col = 2; col <= cols; ++col)
            if (!ledger_.ColHidden(col))
                ++visible;
        oExport_->SetCols(visible);
        ForEachShownColumn(ledger_, [&](int col, int k) {
            ledger_.SetRow(1);
            std::string caption = ledger_.Text();
            ledger_.SetRow(2);
            caption += ledger_.Text();
            oExport_->SetColCaption(k, caption);
            oExport_->SetColWidth(k, ExportComponent::kMaxColWidth);
            if (detail_ && static_cast<std::size_t>(col) <= detail_->Columns().size())
                oExport_->SetColKind(k,
                                     KindOf(detail_->Columns()[static_cast<std::size_t>(col - 1)]));
        });
        oExport_->SetRows(ledger_.Rows() - 2);
        oExport_->Export(GetResText(kExportTitle));
    } catch (const std::runtime_error& e) {
        // The cause reads as the system or the component put it, whatever the
        // session's language: it goes apart, as the box's detail, for whoever
        // has to act on it (another folder, free space).
        ctx_.Ui().DetailedMessageBox(GetResText("引出组件调用不成功"), e.what(), MsgButtons::kOK,
                                     MsgIcon::kNone, GetResText("Tesmar提示"));
    }
    oExport_.reset();
}

void BrowseBase::oExport_LoadData(std::int64_t row, ExportRow& data) {
    ForEachShownColumn(ledger_, [&](int, int k) {
        ledger_.SetRow(static_cast<int>(row) + 2);
        data.SetCell(k, ledger_.Text());
    });
}

void BrowseBase::mnuHideCol() {
    std::shared_ptr<ColumnChooser> chooser =
        ComponentRegistry::Create<ColumnChooser>(ColumnChooser::kProgID);
    if (chooser->Show(ledger_))
        SaveColumnSettings();
}

void BrowseBase::ToolbarPrint(bool preview) {
    if (SelectedKey().find("gb") == std::string::npos) {
        ctx_.Ui().MessageBox(GetResText(preview ? N_("不是明细项，无法进行打印预览！")
                                                : N_("不是明细项，无法进行打印！")),
                             MsgButtons::kOK, MsgIcon::kInformation, GetResText("Tesmar提示"));
        return;
    }
    PrintLedger(preview);
}

}  // namespace orva
