// Delete from the browse window: the window's command (right, question,
// refresh) and the data source's database work, including the customer-item
// header row that goes with a pair's last entry.
#include <string>

#include "browse/browse_base.h"
#include "browse/detail_commands.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {

void DeleteDetail(ModuleContext& ctx, BaseDetail& detail, std::int32_t& result) {
    result = 0;
    Ledger* ledger = detail.LDG();
    if (!ledger || ledger->Cols() < 1 || ledger->SelRow() < 1)
        return;
    ledger->SetCol(1);
    ledger->SetRow(ledger->SelRow());
    // Only a whole number is written into the statements.
    const std::optional<std::int32_t> id = ParseEntryID(ledger->Text());
    if (!id)
        return;
    const std::string e = SqlId(*id);
    AppConnection& db = ctx.Connection();
    Recordset* records = detail.Records().get();
    auto onRecords = [&](auto&& step) {
        if (records)
            PassOver([&] { step(*records); });
    };

    onRecords([&](Recordset& rs) { rs.Filter("FEntryID=" + e); });
    bool audited = false;
    PassOver([&] {
        audited =
            db.Execute("Select * from t_CustEntry where FUsed=1 and FEntryID=" + e)->RecordCount() >
            0;
    });
    if (audited) {
        std::shared_ptr<MessageDialog> dialog = ctx.Ui().CreateMessageDialog();
        dialog->Title(GetResText("提示"));
        dialog->AddDetail(GetResText("删除数据不成功.") + "  " + GetResText("价格资料已审核."));
        dialog->Show(MessageDialog::kNotice, "", -1);
        return;
    }
    std::string item = "0";
    std::string cust = "0";
    PassOver([&] {
        RecordsetPtr rs =
            db.Execute("Select top 1 FCustID,FItemID from t_CustEntry where FEntryID=" + e);
        if (!rs->EOF_()) {
            item = SqlId(rs->Fields("FItemID").Value().ToInteger());
            cust = SqlId(rs->Fields("FCustID").Value().ToInteger());
        }
    });
    PassOver([&] { db.Execute("delete from t_CustEntry Where FEntryID=" + e); });
    onRecords([](Recordset& rs) {
        if (!rs.EOF_())
            rs.Delete();
    });
    PassOver([&] {
        RecordsetPtr rs =
            db.Execute("Select top 1 FCustID,FItemID from t_CustEntry where FItemID=" + item +
                       " And FCustID=" + cust);
        if (rs->EOF_())
            db.Execute("Delete from t_Cust where FItemID=" + item + " And FCustID=" + cust);
    });
    onRecords([](Recordset& rs) { rs.Filter(""); });
    PassOver([&] { ledger->ForceRefresh(); });
}

void BrowseBase::mnuEditDelete() {
    if (!CheckFunctionRight(ctx_, kRightDelete))
        return;
    if (ledger_.Rows() <= BaseDetail::kTitleRows || !detail_)
        return;  // no data row
    if (!SelectedEntryID())
        return;  // a title row is selected: no entry to delete
    if (ctx_.Ui().MessageBox(GetResText("是否要删除当前的价格资料"), MsgButtons::kYesNo,
                             MsgIcon::kQuestion, GetResText("Tesmar提示")) != MsgResult::kYes)
        return;
    std::int32_t result = 0;
    if (ledger_.Rows() >= BaseDetail::kTitleRows)
        DeleteDetail(ctx_, *detail_, result);
    Refresh();
    RepaintRows();
}

}  // namespace orva
