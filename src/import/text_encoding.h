// The encodings a price list in CSV comes in: UTF-8 (with or without the
// byte-order mark spreadsheet programs write) and GB18030, what Chinese
// spreadsheet programs save. Converted to UTF-8 through ICU, which the
// module already uses for collation.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct UConverter;

namespace orva::import {

enum class TextEncoding { kUtf8, kGb18030 };

// The encoding of a file that begins with `head` (its first bytes; a
// sequence cut at the end of `head` does not count against UTF-8): UTF-8
// when every byte sequence is UTF-8, GB18030 otherwise. The byte-order mark
// is the caller's to take off.
TextEncoding DetectEncoding(std::string_view head);

// Whether `text` is UTF-8 throughout (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text);

// Turns text of one encoding into UTF-8, one piece at a time. In GB18030 the
// bytes of the CSV syntax (comma, semicolon, tab, quote, CR, LF) never occur
// inside a character, so a field cut on them converts on its own.
class TextDecoder {
  public:
    explicit TextDecoder(TextEncoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // `text` in UTF-8, or nullopt when it holds bytes that are no text in
    // the encoding.
    std::optional<std::string> ToUtf8(std::string_view text);

  private:
    TextEncoding encoding_;
    UConverter* source_ = nullptr;
    UConverter* utf8_ = nullptr;
};

}  // namespace orva::import
