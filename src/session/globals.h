// The module's process-wide slots: plain variables shared by every window and
// object of the module, written by CustFace and the session helpers. Each
// keeps its value until it is written again; nothing resets them between
// Show calls. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "session/keyed_strings.h"

namespace orva {

class AppConnection;
class GLData;
class GLView;
class HostUtility;

// The shared connection component; created by CustFace, emptied when any
// CustFace instance is destroyed.
extern std::shared_ptr<AppConnection> g_Connection;
extern std::int16_t g_ShowMode;     // Enu_ShowMode of the last Show
extern std::int16_t g_ReturnType;   // Enu_RType
extern std::int32_t g_SelCustID;    // customer to preselect, 0 = none
extern std::int32_t g_SelICItemID;  // item to preselect, 0 = none
extern bool g_CategoryByCust;       // tree of customers (else of items)
extern bool g_CallByBill;           // called from a sales bill

// System option IC / "UseShortNumber": codes shown and matched are short codes.
extern bool g_UseShortNumber;
// The session string as parsed by the last Show, and its properties.
extern std::string g_PropsString;
extern std::shared_ptr<KeyedStrings> g_SessionProps;
// Host objects created on first use and kept for the process.
extern std::shared_ptr<GLData> g_GLData;
extern std::shared_ptr<GLView> g_GLView;
extern std::shared_ptr<HostUtility> g_Utility;

}  // namespace orva
