#include "session/globals.h"

#include "host/app_connection.h"
#include "host/gl_data.h"
#include "host/gl_view.h"
#include "host/host_utility.h"

namespace orva {

std::shared_ptr<AppConnection> g_Connection;
std::int16_t g_ShowMode = 0;
std::int16_t g_ReturnType = 0;
std::int32_t g_SelCustID = 0;
std::int32_t g_SelICItemID = 0;
bool g_CategoryByCust = false;
bool g_CallByBill = false;

bool g_UseShortNumber = false;
std::string g_PropsString;
std::shared_ptr<KeyedStrings> g_SessionProps;
std::shared_ptr<GLData> g_GLData;
std::shared_ptr<GLView> g_GLView;
std::shared_ptr<HostUtility> g_Utility;

}  // namespace orva
