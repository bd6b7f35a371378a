#include "session/session.h"

#include <limits>
#include <optional>

#include "host/app_connection.h"
#include "host/assistant.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/db/db_backend.h"
#include "host/dictionary.h"
#include "host/gl_data.h"
#include "host/gl_view.h"
#include "host/host_ui.h"
#include "host/host_utility.h"
#include "host/security_info.h"
#include "host/session_string.h"
#include "host/share_props.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"

namespace orva {
namespace {

// Reading a member of an object that was never set.
constexpr std::int32_t kObjectNotSet = 91;

std::int16_t ToInt16(std::int64_t v, const std::string& what) {
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max()) {
        throw ComError(ComError::kOverflow, what + " " + std::to_string(v) + " is out of range.");
    }
    return static_cast<std::int16_t>(v);
}

std::int32_t ToInt32(std::string_view text) {
    std::int64_t v = Variant(text).ToInteger();  // TypeMismatch when not a number
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max()) {
        throw ComError(ComError::kOverflow, std::string(text) + " is out of range.");
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::string GetPropsString() {
    auto props = ComponentRegistry::Create<ShareProps>(ShareProps::kProgID);
    return props->GetProperty(ShareProps::CurrentProcessId(), "PropsString").ToText();
}

bool InitSessionProps(ModuleContext& ctx, std::string_view propsString) {
    ctx.g_PropsString = std::string(propsString);
    ctx.g_SessionProps = std::make_shared<KeyedStrings>();
    for (auto& [key, value] : ParseSessionString(propsString)) {
        ctx.g_SessionProps->Add(key, std::move(value));
    }
    return true;
}

std::string GetSessionProp(ModuleContext& ctx, std::string_view key) {
    if (!ctx.g_SessionProps) {
        throw ComError(
            ComError::kItemNotFound,
            "The session has not been read; there is no property " + std::string(key) + ".");
    }
    return ctx.g_SessionProps->Item(key);
}

std::string GetLoginProp(ModuleContext& ctx, std::string_view key) {
    // A session that cannot be read names no property.
    return PassOver(
        [&]() -> std::string {
            std::string session = ctx.SessionString();
            if (session.empty() || session.back() != ';')
                session += ';';
            std::string pattern = std::string(key) + "=";
            std::size_t at = FindNoCase(session, pattern);
            if (at == std::string::npos)
                return {};
            std::size_t end = session.find(';', at + pattern.size());
            return session.substr(at + pattern.size(), end - at - pattern.size());
        },
        std::string());
}

std::int16_t GetCurUserID(ModuleContext& ctx) {
    auto security = ComponentRegistry::Create<SecurityInfo>(SecurityInfo::kProgID);
    return ToInt16(security->GetCurrentUserID(ctx.SessionString()), "The user ID");
}

void CheckSessionUser(ModuleContext& ctx) {
    const std::int16_t id = GetCurUserID(ctx);
    RecordsetPtr rs =
        ctx.Connection().Execute("SELECT FIsGroup FROM t_User WHERE FUserID=" + SqlId(id));
    if (rs->EOF_()) {
        throw ComError(ComError::kGeneric,
                       "The session's user ID " + std::to_string(id) +
                           " names no user of the company database.",
                       SecurityInfo::kProgID);
    }
    if (rs->Fields("FIsGroup").Value().ToInteger() != 0) {
        throw ComError(ComError::kGeneric,
                       "The session's user ID " + std::to_string(id) +
                           " is a user group; a user, not a group, logs on.",
                       SecurityInfo::kProgID);
    }
    CheckLoginIsUser(ctx, id);
}

void CheckLoginIsUser(ModuleContext& ctx, std::int16_t userId) {
    const std::optional<std::string> login = ctx.Connection().Backend().ClerkLogin();
    if (!login)
        return;
    RecordsetPtr rs =
        ctx.Connection().Execute("SELECT FName FROM t_User WHERE FUserID=" + SqlId(userId));
    const std::string user = rs->EOF_() ? std::to_string(userId)
                                        : std::string(Trim(rs->Fields("FName").Value().ToText()));
    if (user == *login)
        return;
    std::string text = GetResText("数据库登录“%1”不是用户“%2”的登录，不能以该用户打开公司。");
    text = ReplaceAll(std::move(text), "%1", *login);
    throw ComError(ComError::kGeneric, ReplaceAll(std::move(text), "%2", user),
                   SecurityInfo::kProgID);
}

std::int16_t GetSysProfile(ModuleContext& ctx, std::string_view key) {
    // An option that cannot be read is off.
    return PassOver(
        [&]() -> std::int16_t {
            RecordsetPtr rs = ctx.Connection().Execute(
                "SELECT FValue FROM t_SystemProfile WHERE FKey=" + SqlText(key));
            std::int16_t value = 0;
            if (!rs->EOF_())
                value = ToInt16(rs->Fields("FValue").Value().ToInteger(), "The option");
            rs->Close();
            return value;
        },
        0);
}

bool ReadUseShortNumber(AppConnection& db) {
    RecordsetPtr rs = db.Execute(
        "SELECT FValue FROM t_Systemprofile Where FCategory='IC' and FKey='UseShortNumber'");
    return !rs->EOF_() && rs->Fields("FValue").Value().ToBool();
}

std::shared_ptr<GLData> GetGLData(ModuleContext& ctx) {
    if (!ctx.g_GLData) {
        ctx.g_GLData = ctx.HasOwnSession() ? std::make_shared<GLData>(ctx.SessionString())
                                           : ComponentRegistry::Create<GLData>(GLData::kProgID);
    }
    return ctx.g_GLData;
}

std::shared_ptr<GLView> GetGLView(ModuleContext& ctx) {
    if (!ctx.g_GLView)
        ctx.g_GLView = ComponentRegistry::Create<GLView>(GLView::kProgID);
    return ctx.g_GLView;
}

std::shared_ptr<HostUtility> GetUtility(ModuleContext& ctx) {
    if (!ctx.g_Utility)
        ctx.g_Utility = ComponentRegistry::Create<HostUtility>(HostUtility::kProgID);
    return ctx.g_Utility;
}

std::shared_ptr<BaseDataLookup> ShowLookup(ModuleContext& ctx, std::int32_t classID,
                                           std::string_view first, std::string_view second,
                                           std::int16_t dataType) {
    try {
        auto params = ComponentRegistry::Create<Dictionary>(Dictionary::kProgID);
        auto view = ComponentRegistry::Create<GLView>(GLView::kProgID);
        std::string text1(first), text2(second);
        BaseDataLookupPtr lookup;
        switch (classID) {
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 8:
                params->SetValue("BeShortNumber", ctx.g_UseShortNumber);
                params->SetValue("GetDataType", static_cast<int>(dataType));
                params->SetValue("Search", text1);
                lookup = view->ItemLookUp(classID, text1, text2, *params);
                break;
            case 7:
                lookup = view->UnitLookup(ToInt32(text2), text1);
                break;
            case 12:
                lookup = view->CurrencyLookup(text1);
                break;
            case 130:
                lookup = view->SettTypeLookup(text1);
                break;
            case 13:
                lookup = view->AccountLookup(text1);
                break;
            default:
                if (classID >= 20 && classID <= 999)
                    lookup = view->SubMesLookup(classID, text1);
                break;
        }
        if (!lookup) {
            throw ComError(kObjectNotSet, "There is no base-data lookup for item class " +
                                              std::to_string(classID) + ".");
        }
        return lookup->ReturnObject() ? lookup : nullptr;
    } catch (const std::runtime_error& e) {
        ctx.Ui().MessageBox(GetResText("基础资料可能没有授权") + "\r\n" + e.what(), MsgButtons::kOK,
                            MsgIcon::kNone, GetResText("Tesmar提示："));
        return nullptr;
    }
}

Variant NullToValue(ModuleContext& ctx, const Variant& value, const Variant& defaultValue) {
    return GetUtility(ctx)->NullToValue(value, defaultValue);
}

void ShowAssistant(std::string_view text) {
    auto assistant = ComponentRegistry::Create<Assistant>(Assistant::kProgID);
    assistant->Description(std::string(text));
    assistant->Show(0);
}

void ShowWarning(ModuleContext& ctx, std::string_view text) {
    ctx.Ui().MessageBox(std::string(text), MsgButtons::kOK, MsgIcon::kExclamation,
                        GetResText("Tesmar提示"));
}

}  // namespace orva
