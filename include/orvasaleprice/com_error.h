// The error the host platform and the module raise: a number, a source and a
// description, as a component error carries them. Callers show the
// description to the user.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "orvasaleprice/export.h"

namespace orva {

class ORVA_API ComError : public std::runtime_error {
  public:
    // Error numbers used by the platform layer.
    static constexpr std::int32_t kGeneric = 5;  // invalid procedure call
    static constexpr std::int32_t kOverflow = 6;
    static constexpr std::int32_t kTypeMismatch = 13;
    static constexpr std::int32_t kCannotCreate = 429;      // component not registered
    static constexpr std::int32_t kNoCurrentRecord = 3021;  // BOF or EOF, or deleted row
    static constexpr std::int32_t kItemNotFound = 3265;     // field or collection key
    static constexpr std::int32_t kDuplicateKey = 457;
    static constexpr std::int32_t kBadFilter = 3001;
    static constexpr std::int32_t kDatabase = -2147217900;  // provider error
    // A statement would have written a second row with the same unique key
    // (another client wrote it first). Every database back end raises this
    // number for that case, so callers react to the conflict without reading
    // the engine's message text.
    static constexpr std::int32_t kUniqueKeyConflict = -2147217873;

    ComError(std::int32_t number, std::string description, std::string source = "OrvaSalePrice")
        : std::runtime_error(description), number_(number), source_(std::move(source)) {}

    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    std::string Description() const { return what(); }

  private:
    std::int32_t number_;
    std::string source_;
};

}  // namespace orva
