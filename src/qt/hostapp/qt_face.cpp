#include "orvasaleprice/qt_face.h"

#include <mutex>

#include "host/host_services.h"
#include "qt/controls/cjk_fonts.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/module_views.h"
#include "qt/windows/property_view_registration.h"

namespace orva::qt {

void InstallQtFace(const std::string& settingsFile) {
    // The platform's components first, once, so that the Qt ones registered
    // below are not replaced by a later registration.
    static std::once_flag registered;
    std::call_once(registered, RegisterHostServices);
    InstallCjkApplicationFont();
    InstallQtHost(settingsFile);
    RegisterBrowseViews();
    RegisterPropertyView();
}

}  // namespace orva::qt
