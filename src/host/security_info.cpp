#include "host/security_info.h"

#include <charconv>

#include "host/base/text_util.h"
#include "host/session_string.h"
#include "orvasaleprice/com_error.h"

namespace orva {

std::int32_t SecurityInfo::GetCurrentUserID(const std::string& sessionString) const {
    std::string text = SessionValue(sessionString, kSessionKey);
    if (text.empty()) {
        throw ComError(ComError::kTypeMismatch,
                       "The host session names no user (session key UserID is missing or empty).",
                       kProgID);
    }
    std::string_view digits = Trim(text);
    std::int64_t id = 0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, id);
    if (ec == std::errc::result_out_of_range ||
        (ec == std::errc() && ptr == end && (id < INT32_MIN || id > INT32_MAX))) {
        throw ComError(ComError::kOverflow, "The session's user ID " + text + " is out of range.",
                       kProgID);
    }
    if (ec != std::errc() || ptr != end) {
        throw ComError(ComError::kTypeMismatch,
                       "The session's user ID \"" + text + "\" is not a number.", kProgID);
    }
    return static_cast<std::int32_t>(id);
}

}  // namespace orva
