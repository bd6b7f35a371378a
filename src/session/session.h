// What the module knows of the host session: the session string and its
// properties, the current user, system options, and the host's shared
// service objects (rights, lookups, utility, assistant). What is kept lives
// in the module context; everything is read on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "orvasaleprice/variant.h"
#include "session/module_context.h"

namespace orva {

class AppConnection;
class BaseDataLookup;
class GLData;
class GLView;
class HostUtility;

// The host session string: shared property "PropsString" of this process,
// read through a fresh "Shelvo.ShareProps". "" when the host stored none.
// A context on the host's session reads it (ModuleContext::SessionString).
std::string GetPropsString();

// Keeps the string in the context's g_PropsString and parses it into a new
// g_SessionProps:
// "key=value" pairs separated by ";", values trimmed, a value in braces may
// hold ";" and "=". A key written twice raises ComError kDuplicateKey (the
// pairs before it stay in g_SessionProps). Returns true.
bool InitSessionProps(ModuleContext& ctx, std::string_view propsString);

// The session property parsed by the last InitSessionProps (key without
// regard to case). A missing key raises ComError kItemNotFound.
std::string GetSessionProp(ModuleContext& ctx, std::string_view key);

// The value after the first "key=" found anywhere in the context's session
// string, read afresh
// (without regard to case, so "LANGUAGE" also matches inside "XLANGUAGE="),
// up to the next ";", untrimmed and braces not interpreted; "" when absent or
// on any failure.
std::string GetLoginProp(ModuleContext& ctx, std::string_view key);

// The current user's ID from "CorvelBase.SecurityInfo". Throws ComError when
// the session names no user, one that is not a number, or one outside 16 bits.
std::int16_t GetCurUserID(ModuleContext& ctx);

// Checks that the session names a user of the company database: a UserID
// that GetCurUserID reads, with a row in t_User that is not a group. Throws
// ComError naming the ID otherwise, so that a host passing a broken session
// gets a clear error instead of a window that works as nobody.
void CheckSessionUser(ModuleContext& ctx);

// On a connection that logged in as a company user's own role (PostgreSQL's
// logins per user), that role must be the session's user: a clerk's login
// does not open the company as somebody else, whose rights the module would
// then apply. Throws ComError naming both. A shared login (the tables'
// owner, as offices without logins per user use) is not checked, nor are
// the other engines. CheckSessionUser calls it.
void CheckLoginIsUser(ModuleContext& ctx, std::int16_t userId);

// The integer option under the key in t_SystemProfile (any category); 0 when
// there is no row or on any failure.
std::int16_t GetSysProfile(ModuleContext& ctx, std::string_view key);

// The system option IC / "UseShortNumber": codes shown and matched are short
// codes. A failing statement raises its error.
bool ReadUseShortNumber(AppConnection& db);

// The context's cached host objects, created by ProgID on first use.
std::shared_ptr<GLData> GetGLData(ModuleContext& ctx);
std::shared_ptr<GLView> GetGLView(ModuleContext& ctx);
std::shared_ptr<HostUtility> GetUtility(ModuleContext& ctx);

// Opens the base-data lookup for an item class through a fresh GL view and
// returns the lookup object when the user picked a row, else nullptr. Any
// failure (also a class without a lookup) is shown in a message box
// ("基础资料可能没有授权" and the error's description) and gives nullptr.
std::shared_ptr<BaseDataLookup> ShowLookup(ModuleContext& ctx, std::int32_t classID,
                                           std::string_view first, std::string_view second,
                                           std::int16_t dataType);

// The value, or the default when the value is Null (g_Utility).
Variant NullToValue(ModuleContext& ctx, const Variant& value, const Variant& defaultValue);

// Shows the text through the host's assistant ("TesmarAssistant.Assistant").
void ShowAssistant(std::string_view text);

// Shows the text in a message box: exclamation icon, OK, title "Tesmar提示".
void ShowWarning(ModuleContext& ctx, std::string_view text);

}  // namespace orva
