#include "engine/batch_values.h"

#include "host/db/durable_batch.h"

#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/controls/spread.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"

namespace orva::batch {

double StoredNumber(const Spread& grid, std::int32_t row) {
    return Val(grid.GetText(UserDefInfo::kColValue, row));
}

std::int32_t StoredId(const Spread& grid, std::int32_t row) {
    return ValId(grid.GetText(UserDefInfo::kColValue, row));
}

std::string CellDate(const Spread& grid, std::int32_t col, std::int32_t row) {
    const std::string& text = grid.GetText(col, row);
    auto date = Date::Parse(Trim(text));
    if (!date) {
        throw ComError(ComError::kTypeMismatch,
                       "Row " + std::to_string(row) + " holds no date: '" + text + "'.");
    }
    return date->ToText();
}

PriceEntry BatchEntry(const Spread& grid) {
    return ReadPriceEntry([&grid](int row) {
        const bool shown = row == UserDefInfo::kRowExpireDate || row == UserDefInfo::kRowNote;
        return grid.GetText(shown ? UserDefInfo::kColText : UserDefInfo::kColValue, row);
    });
}

std::vector<std::int32_t> MemberIDs(const RecordsetPtr& members) {
    std::vector<std::int32_t> ids;
    if (!members || !members->IsOpen() || members->RecordCount() == 0)
        return ids;
    ids.reserve(static_cast<std::size_t>(members->RecordCount()));
    const int col = members->ColumnIndex("FItemID");
    for (long r = 0; r < members->RecordCount(); ++r) {
        const Variant& v = members->Cell(r, col < 0 ? 0 : col);
        if (!v.IsNull())
            ids.push_back(static_cast<std::int32_t>(v.ToInteger()));
    }
    return ids;
}

std::shared_ptr<AppConnection> NewConnection(ModuleContext& ctx) {
    std::shared_ptr<AppConnection> db = ctx.CreateConnection();
    // The batch's changes are one batch in the price history.
    db->Backend().PinHistoryBatch();
    return db;
}

MsgResult Notice(ModuleContext& ctx, const std::string& text, MsgButtons buttons, MsgIcon icon) {
    // No member's lock is held while the user reads it.
    DurableBatch::CommitOpenBatch();
    return ctx.Ui().MessageBox(text, buttons, icon, GetResText("Tesmar提示"));
}

std::string CountText(const std::string& prefix, std::int64_t count, const std::string& suffix) {
    return prefix + std::to_string(count) + suffix;
}

}  // namespace orva::batch
