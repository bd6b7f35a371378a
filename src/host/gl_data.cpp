#include "host/gl_data.h"

#include "host/app_connection.h"
#include "host/security_info.h"
#include "host/session_string.h"
#include "host/share_props.h"

namespace orva {

GLData::GLData() = default;
GLData::GLData(std::string sessionString) : ownSession_(std::move(sessionString)) {}
GLData::~GLData() = default;

// The connection follows the session: a host that switches company between
// calls gets its rights from the new database.
std::string GLData::Session() const {
    if (ownSession_)
        return *ownSession_;
    return ShareProps().GetProperty(ShareProps::CurrentProcessId(), "PropsString").ToText();
}

AppConnection& GLData::Connection() {
    const std::string session = Session();
    std::string target = SessionValue(session, AppConnection::kSessionKey);
    if (!connection_ || target != connectedTo_) {
        connection_ = std::make_unique<AppConnection>(std::string_view(session));
        connectedTo_ = target;
    }
    return *connection_;
}

bool GLData::AccessCheck(std::int32_t objectID, std::int32_t index, std::int32_t rightBit) {
    std::string user = std::to_string(SecurityInfo().GetCurrentUserID(Session()));
    AppConnection& db = Connection();

    RecordsetPtr admin = db.Execute(
        "SELECT COUNT(*) AS FCount FROM t_Group WHERE FGroupID=1 AND "
        "FUserID=" +
        user);
    if (!admin->EOF_() && admin->Fields(0).Value().ToInteger() > 0)
        return true;

    RecordsetPtr grants = db.Execute(
        "SELECT FRights FROM t_OrvaAccessRight WHERE FObjectID=" + std::to_string(objectID) +
        " AND FIndex=" + std::to_string(index) + " AND (FUserID=" + user +
        " OR FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=" + user +
        "))");
    std::uint32_t held = 0;
    for (; !grants->EOF_(); grants->MoveNext()) {
        const Variant& v = grants->Fields(0).Value();
        if (!v.IsNull())
            held |= static_cast<std::uint32_t>(v.ToInteger());
    }
    auto wanted = static_cast<std::uint32_t>(rightBit);
    return (held & wanted) == wanted;
}

}  // namespace orva
