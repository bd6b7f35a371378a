// "CorvelBase.SecurityInfo": who is logged on. The host writes the user's ID
// into the session string under "UserID".
#pragma once

#include <cstdint>
#include <string>

namespace orva {

class SecurityInfo {
  public:
    static constexpr const char* kProgID = "CorvelBase.SecurityInfo";
    static constexpr const char* kSessionKey = "UserID";

    // The user ID of the session string. Throws ComError kTypeMismatch when
    // the session holds no "UserID" or one that is not a whole number, and
    // kOverflow when it does not fit 32 bits.
    std::int32_t GetCurrentUserID(const std::string& sessionString) const;
};

}  // namespace orva
