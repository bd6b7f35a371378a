// Batch delete: removes, for every member of a group, the unaudited entries
// that match the grid exactly: every customer of a customer group with the
// grid's item and unit (BatchDelete), or every item of an item group, in the
// item's base unit only, with the grid's customer (BatchDelete_Item). The
// user is told how many entries will go and confirms once; then the whole
// deletion is sent as one text. Header rows in t_Cust stay. The user may
// stop the batch while its members are counted; nothing is deleted then.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/batch_progress.h"
#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva {
namespace {

using Row = UserDefInfo::Row;
constexpr std::int32_t kColValue = UserDefInfo::kColValue;

// Where the member list goes in both statements.
constexpr std::string_view kMemberPlaceholder = "#######";
// Members per IN list. A larger group is counted and deleted in several
// statements of this size, still sent as one text so the deletion runs or
// fails as a whole; SQL Server copes badly with IN lists of many thousands.
constexpr std::size_t kMembersPerList = 1000;

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

// The member IDs as "1,2,3", in lists of at most kMembersPerList.
std::vector<std::string> MemberLists(const std::vector<std::int32_t>& ids) {
    std::vector<std::string> lists;
    for (std::size_t i = 0; i < ids.size(); i += kMembersPerList) {
        std::string list;
        for (std::size_t k = i; k < ids.size() && k < i + kMembersPerList; ++k) {
            if (!list.empty())
                list += ',';
            list += SqlId(ids[k]);
        }
        lists.push_back(std::move(list));
    }
    return lists;
}

struct BatchDeletePlan {
    bool itemGroup = false;  // members are items, the customer is fixed
    std::function<void(std::int32_t, RecordsetPtr&)> members;
};

// The count and the deletion of one list of members: kMemberPlaceholder
// stands for the list.
struct DeleteTexts {
    std::string countSql;
    std::string deleteSql;
};

DeleteTexts ReadDeleteTexts(const Spread& grid, bool itemGroup, std::int32_t fixedID) {
    const std::string list = "(" + std::string(kMemberPlaceholder) + ")";
    const std::string band =
        " AND FStartQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowStartQty)) +
        " AND FEndQty=" + SqlNumber(batch::StoredNumber(grid, Row::kRowEndQty)) +
        " AND FPrice=" + SqlNumber(batch::StoredNumber(grid, Row::kRowPrice)) +
        " AND FCyID=" + SqlNumber(batch::StoredNumber(grid, Row::kRowCurrency)) +
        " AND FQuoteTime=" + SqlDate(batch::CellDate(grid, kColValue, Row::kRowQuoteTime));
    const std::string expire =
        " AND FExpireDate=" + SqlDate(batch::CellDate(grid, kColValue, Row::kRowExpireDate));
    if (!itemGroup) {
        const std::string where =
            " FROM t_CustEntry WHERE FItemID=" + SqlId(fixedID) + " AND FCustID IN " + list +
            " AND FUnitID=" + SqlNumber(batch::StoredNumber(grid, Row::kRowUnit)) + band;
        return {"SELECT COUNT(*)" + where + " AND FUsed=0 " + expire + " AND FUsed <> 1",
                "DELETE" + where + expire + " AND FUsed <> 1"};
    }
    // Only entries in the item's base unit.
    const std::string where =
        " FROM t_CustEntry WHERE FEntryID in (select FEntryID from t_CustEntry t1 inner "
        "join t_ICItem t2 on t1.FItemID=t2.FItemID and t1.FUnitID=t2.FUnitID) And "
        "FCustID=" +
        SqlId(fixedID) + " AND FItemID IN " + list + band + " AND FUsed=0" + expire;
    return {"SELECT COUNT(*)" + where, "DELETE" + where};
}

std::int32_t DeleteMembers(ModuleContext& ctx, const Spread& grid, const BatchDeletePlan& plan) {
    const std::int32_t fixedID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowCustNumber : Row::kRowItemNumber);
    const std::int32_t groupID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowItemNumber : Row::kRowCustNumber);
    auto db = batch::NewConnection(ctx);
    RecordsetPtr members;
    plan.members(groupID, members);
    const DeleteTexts texts = ReadDeleteTexts(grid, plan.itemGroup, fixedID);

    std::int64_t found = 0;
    const std::vector<std::int32_t> memberIDs = batch::MemberIDs(members);
    const std::vector<std::string> lists = MemberLists(memberIDs);
    // The members are counted list by list; the user may stop while they are
    // counted, up to the end of the last list. Stopped, nothing is deleted:
    // the deletion is written only once every list was counted, for the
    // whole group, and runs as a whole once confirmed.
    batch::MemberProgress progress(GetResText("批量删除"), memberIDs, plan.itemGroup, *db,
                                   ctx.g_UseShortNumber);
    for (std::size_t k = 0; k < lists.size() && progress.Advance(k * kMembersPerList); ++k) {
        RecordsetPtr rs =
            db->GetAnyRecordset(ReplaceAll(texts.countSql, kMemberPlaceholder, lists[k]));
        if (HasRow(rs))
            found += rs->Fields(0).Value().ToInteger();
    }
    const bool stopped = !lists.empty() && !progress.Finish();
    progress.End();
    if (stopped) {
        batch::Notice(ctx,
                      batch::ClosingText(GetResText("此次共删除"), 0, GetResText("条记录！"),
                                         GetResText("操作已被用户中止：没有删除任何记录。")),
                      MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
    if (found > 0) {
        const std::string question =
            batch::CountText(GetResText("本次操作将删除"), found, GetResText("条记录，是否继续？"));
        if (batch::Notice(ctx, question, MsgButtons::kYesNo, MsgIcon::kQuestion) != MsgResult::kYes)
            return 0;
        std::string deleteText;
        for (const std::string& ids : lists)
            deleteText += ReplaceAll(texts.deleteSql, kMemberPlaceholder, ids) + std::string(kCrLf);
        db->Execute(deleteText);
    }
    batch::Notice(
        ctx,
        batch::ClosingText(GetResText("此次共删除"), found, GetResText("条记录！"), std::string()),
        MsgButtons::kOK, MsgIcon::kInformation);
    return static_cast<std::int32_t>(found);
}

std::int32_t RunBatchDelete(ModuleContext& ctx, const Spread& grid, const BatchDeletePlan& plan) {
    try {
        return DeleteMembers(ctx, grid, plan);
    } catch (const std::runtime_error&) {
        batch::Notice(ctx, GetResText("批量删除出错！"), MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
}

}  // namespace

std::int32_t UserDefInfo::BatchDelete_Item() {
    BatchDeletePlan plan;
    plan.itemGroup = true;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailItem(group, rs); };
    return RunBatchDelete(ctx_, Grid(), plan);
}

std::int32_t UserDefInfo::BatchDelete() {
    BatchDeletePlan plan;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailCust(group, rs); };
    return RunBatchDelete(ctx_, Grid(), plan);
}

}  // namespace orva
