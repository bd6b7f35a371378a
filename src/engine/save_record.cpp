// Saving the grid: a new entry (Add) or the changed cells of the entry being
// edited (Update), both refusing a record that duplicates another.
#include <map>
#include <string>

#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/controls/spread.h"
#include "host/data_type_codes.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {

bool IsNumericType(std::int16_t type) {
    return type == adDouble || type == adBoolean || type == adCurrency || type == adInteger ||
           type == adSmallInt || type == adSingle;
}

bool IsDateType(std::int16_t type) {
    return type == adDate || type == adDBTimeStamp;
}

// Rows shown for reading only; they have no column of their own.
bool IsDisplayRow(int row) {
    return row == UserDefInfo::kRowCustName || row == UserDefInfo::kRowItemName ||
           row == UserDefInfo::kRowModel;
}

bool IsDateText(std::string_view text) {
    auto date = Date::Parse(Trim(text));
    return date && date->IsValid();
}

void ShowSaveFailure(const std::string& description) {
    auto dialog = CurrentUi().CreateMessageDialog();
    dialog->Title(GetResText("提示"));
    dialog->AddDetail(GetResText("保存数据失败。"));
    dialog->AddDetail(description);
    dialog->Show(MessageDialog::kNotice);
}

void ShowDuplicate() {
    CurrentUi().MessageBox(GetResText("已有相同记录，不允许保存"), MsgButtons::kOK,
                           MsgIcon::kInformation, GetResText("Tesmar提示"));
}

bool IsUniqueConflict(const std::exception& e) {
    const auto* error = dynamic_cast<const ComError*>(&e);
    return error && error->Number() == ComError::kUniqueKeyConflict;
}

// The columns that make an entry's key: no two entries share all of them.
constexpr const char* kKeyColumns[] = {"FItemID", "FCustID", "FUnitID",    "FStartQty",
                                       "FEndQty", "FCyID",   "FQuoteTime", "FExpireDate"};

// Whether a stored entry holds the key an insert wrote (column -> the value
// as sent). A unique clash of that insert was then on the entry's key;
// otherwise on something else, such as the entry number. A key with a Null
// date never clashes.
bool KeyStored(AppConnection& db, const std::map<std::string, std::string>& written) {
    std::string where;
    for (const char* column : kKeyColumns) {
        auto value = written.find(column);
        if (value == written.end() || value->second == "null")
            return false;
        where += (where.empty() ? "" : " AND ") + std::string(column) + "=" + value->second;
    }
    const std::string sql = "SELECT FEntryID FROM t_CustEntry WHERE " + where;
    return HasRow(db.Execute(sql));
}

// Makes sure the customer-item header row exists. Another client may write
// the same row between the look-up and the insert; the row the entry needs is
// then there, which is all the insert was for.
void EnsureHeaderRow(AppConnection& db, const std::string& item, const std::string& cust) {
    const std::string lookUp =
        "select FBrNo FROM t_Cust WHERE FItemID=" + item + " AND FCustID=" + cust;
    RecordsetPtr header = db.Execute(lookUp);
    const bool hasHeader = HasRow(header);
    if (header && header->IsOpen())
        header->Close();
    if (hasHeader)
        return;
    try {
        db.Execute("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + item + "," + cust +
                   ")");
    } catch (const ComError& e) {
        if (!IsUniqueConflict(e) || !HasRow(db.Execute(lookUp)))
            throw;
    }
}

}  // namespace

bool UserDefInfo::IsDuplicate(bool forUpdate) {
    if (!DuplicateStored(forUpdate))
        return false;
    ShowDuplicate();
    return true;
}

bool UserDefInfo::DuplicateStored(bool forUpdate) {
    orva::Spread& grid = Grid();
    auto value = [&grid](int row) -> const std::string& { return grid.GetText(kColValue, row); };
    std::string sql =
        "SELECT * FROM t_CustEntry WHERE FItemID=" + SqlId(ValId(value(kRowItemNumber))) +
        " AND FCustID=" + SqlId(ValId(value(kRowCustNumber))) + " AND FUnitID=" +
        (forUpdate ? SqlNumber(Val(value(kRowUnit))) : SqlId(ValId(value(kRowUnit)))) +
        " AND FStartQty=" + SqlNumber(Val(value(kRowStartQty))) +
        " AND FEndQty=" + SqlNumber(Val(value(kRowEndQty))) +
        " AND FCyID=" + SqlNumber(Val(value(kRowCurrency))) +
        " AND FQuoteTime=" + SqlDate(Trim(value(kRowQuoteTime)));
    if (forUpdate) {
        sql += " AND FExpireDate=" + SqlDate(Trim(value(kRowExpireDate))) + " AND FEntryID<>" +
               SqlId(SelEntryID);
    } else {
        sql += " AND FExpireDate=" + SqlText(value(kRowExpireDate)) + " ";
    }
    return HasRow(ctx_.Connection().Execute(sql));
}

bool UserDefInfo::Add() {
    if (IsDuplicate(false))
        return false;
    AppConnection& db = ctx_.Connection();
    // A number that cannot be drawn is 0, which the next step refuses.
    const std::int32_t number = PassOver([&] { return db.GetICMaxNum("t_Cust"); }, 0);
    if (number < 1) {
        auto dialog = CurrentUi().CreateMessageDialog();
        dialog->Title(GetResText("提示"));
        dialog->AddDetail(GetResText("取最大号失败。"));
        dialog->Show(MessageDialog::kNotice);
        return false;
    }

    orva::Spread& grid = Grid();
    const std::string item = SqlId(ValId(grid.GetText(kColValue, kRowItemNumber)));
    const std::string cust = SqlId(ValId(grid.GetText(kColValue, kRowCustNumber)));
    const std::int32_t previousEntry = SelEntryID;
    std::map<std::string, std::string> written;  // column -> the value inserted
    try {
        EnsureHeaderRow(db, item, cust);  // created once per pair

        std::string sql =
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FDisCount,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) VALUES ('0'," +
            SqlId(number);
        SelEntryID = number;
        for (int row = 1; row <= grid.MaxRows(); ++row) {
            auto desc = Desc(row);
            if (!desc || IsDisplayRow(row))
                continue;
            const std::string& text = grid.GetText(kColValue, row);
            const std::string_view trimmed = Trim(text);
            std::string value;
            if (row == kRowUsed) {
                value = "0";  // a new entry is never audited
            } else if (IsDateType(desc->m_DataType)) {
                value = IsDateText(text) ? SqlDate(trimmed) : std::string("null");
            } else if (IsNumericType(desc->m_DataType)) {
                if (trimmed.empty())
                    value = desc->m_Search == 120 ? "1" : "0";  // no currency: currency 1
                else
                    value = SqlNumber(Val(text));
            } else {
                value = SqlText(text);
            }
            sql += "," + value;
            written[desc->m_SqlColName] = value;
        }
        sql += ")";
        db.Execute(sql);
        return true;
    } catch (const std::runtime_error& e) {
        SelEntryID = previousEntry;
        // Another client saved the same entry after the duplicate test: the
        // same refusal as the test's own. Any other clash (the entry number
        // taken by a row written without the numbering) is a failed save.
        if (IsUniqueConflict(e) && PassOver([&] { return KeyStored(db, written); }, false))
            ShowDuplicate();
        else
            ShowSaveFailure(e.what());
        return false;
    }
}

bool UserDefInfo::Update() {
    if (IsDuplicate(true))
        return true;
    orva::Spread& grid = Grid();
    std::string sql = "Update t_CustEntry SET ";
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        auto desc = Desc(row);
        if (!desc || IsDisplayRow(row))
            continue;
        const std::string& text = grid.GetText(kColValue, row);
        // The currency is always written; any other column only when changed.
        if (row != kRowCurrency && text == desc->m_Value)
            continue;
        sql += desc->m_SqlColName + "=";
        if (IsNumericType(desc->m_DataType)) {
            sql += SqlNumber(Val(text));
        } else if (IsDateType(desc->m_DataType)) {
            sql += IsDateText(text) ? SqlDate(Trim(text)) : std::string("null");
        } else {
            sql += SqlText(text);
        }
        sql += ",";
    }
    if (!sql.empty() && sql.back() == ',')
        sql.pop_back();
    sql += " WHERE FEntryID=" + SqlId(SelEntryID);
    try {
        std::int16_t rows = 0;
        ctx_.Connection().Execute(sql, rows);
        return false;
    } catch (const std::runtime_error& e) {
        // Another client saved an entry with these keys first.
        if (IsUniqueConflict(e) && PassOver([this] { return DuplicateStored(true); }, false)) {
            ShowDuplicate();
            return true;
        }
        auto dialog = CurrentUi().CreateMessageDialog();
        dialog->Title(GetResText("添加失败"));
        dialog->Headline(GetResText("网络冲突："));
        dialog->AddDetail(GetResText("请稍后再保存,如果还不成功请与网络管理员或Tesmar公司联系。"));
        dialog->AddDetail(e.what());
        dialog->AddDetail("");
        dialog->AddDetail("");
        dialog->Show(MessageDialog::kConflict);
        return true;
    }
}

}  // namespace orva
