// Sets the host session string of this process (shared property
// "PropsString", as the host application fills it before calling the module)
// for the life of the object, and puts the previous value back afterwards.
//
//   orva::test::ScopedSession session(company.path(), orva::demo::kGroupClerkUserId);
//   // session string: DBConnection={<path>};UserID=16395;SubID=ic;LANGUAGE=CHS
//
// AppConnection() then opens the file, SecurityInfo reads the user from
// "UserID", the module reads "SubID" and "LANGUAGE".
#pragma once

#include <string>

#include "orvasaleprice/variant.h"

namespace orva::test {

class ScopedSession {
  public:
    ScopedSession(const std::string& dbConnection, int userId, const std::string& subId = "ic",
                  const std::string& language = "CHS");
    // Any session string, as it stands.
    explicit ScopedSession(const std::string& propsString);
    ~ScopedSession();
    ScopedSession(const ScopedSession&) = delete;
    ScopedSession& operator=(const ScopedSession&) = delete;

    const std::string& propsString() const { return props_; }

    // The session string the first constructor sets; the connection value is
    // wrapped in braces so it may hold ";" and "=".
    static std::string Make(const std::string& dbConnection, int userId,
                            const std::string& subId = "ic", const std::string& language = "CHS");

  private:
    std::string props_;
    Variant previous_;
};

}  // namespace orva::test
