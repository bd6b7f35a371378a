#include "orvasaleprice/cust_face.h"

#include <limits>
#include <string>

#include "browse/browse_base.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/host_ui.h"
#include "orvasaleprice/com_error.h"
#include "session/globals.h"
#include "session/session.h"

namespace orva {
namespace {

std::int16_t Narrow16(std::int64_t v, const char* what) {
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max()) {
        throw ComError(ComError::kOverflow, std::string("Overflow: ") + what + " " +
                                                std::to_string(v) +
                                                " does not fit a 16-bit integer.");
    }
    return static_cast<std::int16_t>(v);
}

}  // namespace

CustFace::CustFace() {
    g_Connection = ComponentRegistry::Create<AppConnection>(AppConnection::kProgID);
}

CustFace::~CustFace() {
    g_Connection.reset();
}

void CustFace::ReturnType(Enu_RType value) {
    g_ReturnType = Narrow16(value, "ReturnType");
}
void CustFace::SelCustID(std::int32_t value) {
    g_SelCustID = value;
}
void CustFace::SelICItemID(std::int32_t value) {
    g_SelICItemID = value;
}
void CustFace::CategoryByCust(bool value) {
    g_CategoryByCust = value;
}
void CustFace::CallByBill(bool value) {
    g_CallByBill = value;
}

void CustFace::Show(Enu_ShowMode sMode) {
    InitSessionProps(GetPropsString());
    g_ShowMode = Narrow16(sMode, "The show mode");
    CheckSessionUser();

    auto window = std::make_unique<BrowseBase>();
    window->Load();
    CurrentUi().ShowModal(*window);
    returnRecordSet_ = window->ReturnObj();
    window->Unload();
}

}  // namespace orva
