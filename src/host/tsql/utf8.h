// UTF-8 decoding and the simple case and width folding that the database's
// case-insensitive text comparison uses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orva::tsql {

// Decodes the code point at s[i] and advances i past it. A byte that does not
// start a valid sequence decodes as 0xDC00 + byte, so every input has a stable
// order and round-trips through EncodeUtf8.
char32_t DecodeUtf8(std::string_view s, std::size_t& i);
void EncodeUtf8(char32_t c, std::string& out);

// Lower-case form used for comparisons: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic letters, fullwidth ASCII folded to ASCII.
char32_t FoldCase(char32_t c);
char32_t ToUpper(char32_t c);
char32_t ToLower(char32_t c);

// Number of code points.
std::size_t CountChars(std::string_view s);
// Byte offset of the n-th code point (s.size() when n is past the end).
std::size_t CharOffset(std::string_view s, std::size_t n);
// s without trailing blanks (U+0020 only, as the database pads with them).
std::string_view TrimTrailingBlanks(std::string_view s);

// Three-way comparison: case- and width-insensitive, trailing blanks ignored.
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace orva::tsql
