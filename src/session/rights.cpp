#include "session/rights.h"

#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/gl_data.h"
#include "model/sql_values.h"
#include "orvasaleprice/enums.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

std::int32_t FunctionObjectID(ModuleContext& ctx) {
    return GetSessionProp(ctx, "SubID") == "ar" ? kFunctionObjectAR : kFunctionObjectDefault;
}

bool IsAdminUser(ModuleContext& ctx) {
    return PassOver(
        [&]() -> bool {
            std::string u = SqlId(GetCurUserID(ctx));
            RecordsetPtr rs = ctx.Connection().Execute(
                "select t_User.FUserID from t_Group, t_User " + std::string(kCrLf) +
                " where t_Group.FUserID = t_User.FUserID " + std::string(kCrLf) +
                " And t_User.FUserID = " + u + "and t_Group.FGroupID = 1 ");
            return rs->RecordCount() > 0;
        },
        false);
}

bool DataVokeOff(ModuleContext& ctx) {
    return PassOver(
        [&]() -> bool {
            RecordsetPtr rs = ctx.Connection().Execute(
                "select FDataVokeType from t_user where FUserID=" + SqlId(GetCurUserID(ctx)));
            return rs->Fields("FDataVokeType").Value().ToInteger() % 2 != 1;
        },
        false);
}

bool HasItemClassRight(ModuleContext& ctx, std::int32_t classID) {
    RecordsetPtr rs = ctx.Connection().Execute(
        "Select FUserItemClassRight From t_UserItemClassRight Where FUserID =" +
        SqlId(GetCurUserID(ctx)) + " And FItemClassID = " + SqlId(classID));
    if (rs->EOF_())
        return false;
    const Variant& v = rs->Fields("FUserItemClassRight").Value();
    return !v.IsNull() && (v.ToInteger() & 4) != 0;
}

bool DataRightsApply(ModuleContext& ctx) {
    return !IsAdminUser(ctx) && !DataVokeOff(ctx);
}

bool CheckAccess(ModuleContext& ctx, std::int32_t objectID, std::int32_t index,
                 std::int32_t rightBit) {
    // A check that fails grants nothing.
    const bool granted =
        PassOver([&] { return GetGLData(ctx)->AccessCheck(objectID, index, rightBit); }, false);
    if (granted)
        return true;
    ShowAssistant(GetResText("没有权限,请与系统管理员联系"));
    return false;
}

namespace {

// The company file when the context's connection may only read it, else "".
std::string ReadOnlyCompanyFile(ModuleContext& ctx) {
    return ctx.g_Connection ? ctx.g_Connection->Backend().ReadOnlyFile() : std::string();
}

}  // namespace

bool CheckFunctionRight(ModuleContext& ctx, std::int32_t rightBit) {
    if (!CheckAccess(ctx, FunctionObjectID(ctx), kFunctionRightIndex, rightBit))
        return false;
    // Every command but print and preview writes, except in selection mode,
    // where the modify command picks the selected row and nothing else is
    // offered.
    if (rightBit == kRightPrint || ctx.g_ShowMode == ShowSelect)
        return true;
    const std::string file = ReadOnlyCompanyFile(ctx);
    if (file.empty())
        return true;
    ShowWarning(
        ctx,
        ReplaceAll(GetResText("公司数据库 %1 是只读文件：可以浏览、查找、打印和引出，不能修改。"),
                   "%1", file));
    return false;
}

}  // namespace orva
