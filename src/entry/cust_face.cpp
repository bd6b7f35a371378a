#include "orvasaleprice/cust_face.h"

#include <limits>
#include <string>

#include "browse/browse_base.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/host_ui.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
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

CustFace::CustFace() : ctx_(ModuleContext::SharedPtr()) {
    ctx_->g_Connection = ctx_->CreateConnection();
}

CustFace::CustFace(const std::string& sessionString)
    : ctx_(std::make_shared<ModuleContext>(sessionString)) {
    ctx_->g_Connection = ctx_->CreateConnection();
}

CustFace::~CustFace() {
    ctx_->g_Connection.reset();
}

void CustFace::ReturnType(Enu_RType value) {
    ctx_->g_ReturnType = Narrow16(value, "ReturnType");
}
void CustFace::SelCustID(std::int32_t value) {
    ctx_->g_SelCustID = value;
}
void CustFace::SelICItemID(std::int32_t value) {
    ctx_->g_SelICItemID = value;
}
void CustFace::CategoryByCust(bool value) {
    ctx_->g_CategoryByCust = value;
}
void CustFace::CallByBill(bool value) {
    ctx_->g_CallByBill = value;
}

void CustFace::Show(Enu_ShowMode sMode) {
    ModuleContext& ctx = *ctx_;
    ModuleContext::Scope inForce(ctx);
    InitSessionProps(ctx, ctx.SessionString());
    ctx.g_ShowMode = Narrow16(sMode, "The show mode");
    CheckSessionUser(ctx);
    // Every change this connection writes names the session's user in the
    // price history.
    ctx.historyUser = GetCurUserID(ctx);
    ctx.Connection().Backend().SetHistoryUser(ctx.historyUser);

    auto window = std::make_unique<BrowseBase>(ctx);
    window->Load();
    ctx_->Ui().ShowModal(*window);
    returnRecordSet_ = window->ReturnObj();
    window->Unload();
}

}  // namespace orva
