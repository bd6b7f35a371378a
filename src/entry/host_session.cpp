#include "orvasaleprice/host_session.h"

#include <mutex>

#include "host/host_services.h"
#include "host/session_string.h"
#include "host/share_props.h"

namespace orva {

std::string SessionString(const std::string& dbConnection, std::int32_t userID,
                          const std::string& language) {
    return MakeSessionString(dbConnection, userID, "ic", language);
}

// Process-wide: the session string every default CustFace reads, as the
// host's shared property "PropsString".
void SetSessionString(const std::string& session) {
    // Registered once: a later call must not replace what the host (or the
    // Qt face) registered over single names since.
    static std::once_flag registered;
    std::call_once(registered, RegisterHostServices);
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString", Variant(session));
}

}  // namespace orva
