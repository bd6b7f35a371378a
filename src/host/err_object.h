// The module's error object: the error an error handler is looking at, with
// its number, description, source, help file and help context. Handlers that
// catch a ComError record it here before they report it; code that may run
// inside a handler (the text localisation) leaves it as it found it.
// One object per process, used on the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "orvasaleprice/com_error.h"

namespace orva {

class ErrObject {
  public:
    std::int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }
    const std::string& Source() const { return source_; }
    const std::string& HelpFile() const { return helpFile_; }
    std::int32_t HelpContext() const { return helpContext_; }

    void SetNumber(std::int32_t n) { number_ = n; }
    void SetDescription(std::string d) { description_ = std::move(d); }
    void SetSource(std::string s) { source_ = std::move(s); }
    void SetHelpFile(std::string f) { helpFile_ = std::move(f); }
    void SetHelpContext(std::int32_t c) { helpContext_ = c; }

    // True while an error is pending (number not 0).
    bool Pending() const { return number_ != 0; }
    // Takes number, description and source of a caught error; help file and
    // help context become empty and 0.
    void SetFrom(const ComError& e);
    // Number 0, every text empty, help context 0.
    void Clear();
    // Throws the pending error as a ComError (number, description, source).
    [[noreturn]] void Raise() const;

  private:
    std::int32_t number_ = 0;
    std::string description_;
    std::string source_;
    std::string helpFile_;
    std::int32_t helpContext_ = 0;
};

// The process-wide error object.
ErrObject& Err();

}  // namespace orva
