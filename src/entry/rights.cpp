#include "entry/rights.h"

#include "entry/session.h"
#include "host/app_connection.h"
#include "host/gl_data.h"
#include "model/sql_values.h"
#include "resources/res_text.h"

namespace orva {

std::int32_t FunctionObjectID() {
    return GetSessionProp("SubID") == "ar" ? kFunctionObjectAR : kFunctionObjectDefault;
}

bool IsAdminUser() {
    try {
        std::string u = SqlId(GetCurUserID());
        RecordsetPtr rs = SharedConnection().Execute(
            "select t_User.FUserID from t_Group, t_User " + std::string(kCrLf) +
            " where t_Group.FUserID = t_User.FUserID " + std::string(kCrLf) +
            " And t_User.FUserID = " + u + "and t_Group.FGroupID = 1 ");
        return rs->RecordCount() > 0;
    } catch (const std::exception&) {
        return false;
    }
}

bool DataVokeOff() {
    try {
        RecordsetPtr rs = SharedConnection().Execute(
            "select FDataVokeType from t_user where FUserID=" + SqlId(GetCurUserID()));
        return rs->Fields("FDataVokeType").Value().ToInteger() % 2 != 1;
    } catch (const std::exception&) {
        return false;
    }
}

bool HasItemClassRight(std::int32_t classID) {
    RecordsetPtr rs = SharedConnection().Execute(
        "Select FUserItemClassRight From t_UserItemClassRight Where FUserID =" +
        SqlId(GetCurUserID()) + " And FItemClassID = " + SqlId(classID));
    if (rs->EOF_())
        return false;
    const Variant& v = rs->Fields("FUserItemClassRight").Value();
    return !v.IsNull() && (v.ToInteger() & 4) != 0;
}

bool DataRightsApply() {
    return !IsAdminUser() && !DataVokeOff();
}

bool CheckAccess(std::int32_t objectID, std::int32_t index, std::int32_t rightBit) {
    bool granted = false;
    try {
        granted = GetGLData()->AccessCheck(objectID, index, rightBit);
    } catch (const std::exception&) {
        granted = false;
    }
    if (granted)
        return true;
    ShowAssistant(GetResText("没有权限,请与系统管理员联系"));
    return false;
}

bool CheckFunctionRight(std::int32_t rightBit) {
    return CheckAccess(FunctionObjectID(), kFunctionRightIndex, rightBit);
}

}  // namespace orva
