// The detail members under a customer or item group, for the batch
// operations. One T-SQL batch walks the group's subtree on the server with a
// #Stack work table (a group is taken off the stack once its children are
// pushed), keeps the detail records, applies the user's data rights and
// returns one column FItemID in ascending order.
#include <exception>
#include <string>

#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/component_registry.h"
#include "model/sql_values.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {
namespace {

// The walk and the final select. childSelect pushes the children of
// @CurrentItemID one level deeper.
std::string DetailBatch(ModuleContext& ctx, std::int32_t groupID, std::string_view childSelect,
                        RightsType type, std::int32_t itemClass) {
    const std::string crlf(kCrLf);
    std::string sql;
    sql.reserve(2048);
    auto line = [&](std::string_view text) {
        sql += text;
        sql += crlf;
    };
    line("SET NOCOUNT ON");
    line("CREATE TABLE #Stack(FItemID INT ,FDetail INT,FLevel INT)");
    line("INSERT INTO #Stack(FItemID,FDetail,FLevel) VALUES(" + SqlId(groupID) + ",0,1)");
    line("DECLARE @Level INT");
    line("DECLARE @CurrentItemID INT");
    line("SET @Level=1");
    line("WHILE @Level>0");
    line("BEGIN");
    line("    IF EXISTS(SELECT * FROM #Stack WHERE FLevel=@Level AND FDetail=0)");
    line("    BEGIN");
    line("        SELECT @CurrentItemID=FItemID FROM #Stack");
    line("        WHERE FLevel=@Level AND FDetail=0");
    line("        DELETE FROM #Stack WHERE FLevel=@Level AND FItemID=@CurrentItemID");
    line("        INSERT INTO #Stack(FItemID,FDetail,FLevel)");
    line(childSelect);
    line("        IF @@ROWCOUNT>0");
    line("            SELECT @Level=@Level+1");
    line("END");
    line("Else");
    line("    SELECT @Level=@Level-1");
    line("END");

    RightsFilter rights;
    if (DataRightsApply(ctx)) {
        rights = MemberFilter(GetCurUserID(ctx), type, HasItemClassRight(ctx, itemClass));
    }
    line("SELECT Distinct v1.FItemID ");
    sql += " FROM #Stack v1 " + crlf + rights.from;
    sql += " WHERE 1=1 " + crlf + rights.where;
    line(" ORDER BY v1.FItemID");
    sql += crlf;
    line("DROP TABLE #Stack");
    line("SET NOCOUNT OFF");
    return sql;
}

// Runs the batch on a connection of its own; nullptr on any failure.
RecordsetPtr RunDetailBatch(ModuleContext& ctx, std::int32_t groupID, std::string_view childSelect,
                            RightsType type, std::int32_t itemClass) {
    return PassOver(
        [&]() -> RecordsetPtr {
            std::string sql = DetailBatch(ctx, groupID, childSelect, type, itemClass);
            auto connection = ctx.CreateConnection();
            RecordsetPtr rs = connection->GetAnyRecordset(sql);
            if (!rs || !rs->IsOpen())
                return nullptr;
            return rs;
        },
        nullptr);
}

}  // namespace

void UserDefInfo::GetDetailItem(std::int32_t groupID, RecordsetPtr& detail) {
    // Planning items are walked like any other; feature items (class 8) never.
    detail =
        RunDetailBatch(ctx_, groupID,
                       "        SELECT t1.FItemID,t1.FDetail,@Level+1 FROM t_Item t1, t_ICItem "
                       "t2 WHERE t1.fitemid = t2.fitemid and t1.FParentID=@CurrentItemID AND "
                       "t1.FItemClassID=4 and t2.ferpclsid<>8",
                       RightsType::kItem, kItemClassItem);
}

void UserDefInfo::GetDetailCust(std::int32_t groupID, RecordsetPtr& detail) {
    detail = RunDetailBatch(ctx_, groupID,
                            "        SELECT FItemID,FDetail,@Level+1 FROM t_Item WHERE "
                            "FParentID=@CurrentItemID AND FItemClassID=1",
                            RightsType::kCustomer, kItemClassCustomer);
}

}  // namespace orva
