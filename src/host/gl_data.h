// "VardaGLView.GLData": the host's function rights. AccessCheck answers from
// the company's function-rights table t_OrvaAccessRight for the session's
// user: members of group 1 hold every right; any other user holds the bits
// granted to the user or to one of the user's groups (group 0 never grants).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orva {

class AppConnection;

class GLData {
  public:
    static constexpr const char* kProgID = "VardaGLView.GLData";

    GLData();  // answers for the host's session
    // Answers for the session string given (a module with a session of its own).
    explicit GLData(std::string sessionString);
    ~GLData();

    // True when the session's user holds every bit of rightBit on
    // (objectID, index). Throws ComError when the session names no user or
    // database, or the database cannot answer.
    bool AccessCheck(std::int32_t objectID, std::int32_t index, std::int32_t rightBit);

  private:
    std::string Session() const;
    AppConnection& Connection();

    std::unique_ptr<AppConnection> connection_;
    std::string connectedTo_;
    std::optional<std::string> ownSession_;
};

}  // namespace orva
