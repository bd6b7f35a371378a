#include "support/scoped_session.h"

#include "host/session_string.h"
#include "host/share_props.h"

namespace orva::test {

namespace {
constexpr const char* kPropsString = "PropsString";
}

std::string ScopedSession::Make(const std::string& dbConnection, int userId,
                                const std::string& subId, const std::string& language) {
    return MakeSessionString(dbConnection, userId, subId, language);
}

ScopedSession::ScopedSession(const std::string& dbConnection, int userId, const std::string& subId,
                             const std::string& language)
    : ScopedSession(Make(dbConnection, userId, subId, language)) {}

ScopedSession::ScopedSession(const std::string& propsString) : props_(propsString) {
    ShareProps props;
    previous_ = props.GetProperty(ShareProps::CurrentProcessId(), kPropsString);
    props.SetProperty(ShareProps::CurrentProcessId(), kPropsString, Variant(props_));
}

ScopedSession::~ScopedSession() {
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), kPropsString, previous_);
}

}  // namespace orva::test
