// Text as the find component compares it: Unicode NFKC with case folding,
// so full-width letters and digits equal their half-width forms and letter
// case does not count ("ＡＢＣ", "Abc" and "abc" fold to "abc"). Invalid
// UTF-8 sequences become U+FFFD and are compared as such.
#pragma once

#include <string>
#include <string_view>

namespace orva {

// NFKC with case folding. Text of ASCII and CJK ideographs only takes a
// fast path (ASCII lower case only).
std::string FoldText(std::string_view utf8);
// NFKC without case folding: what a value sent to the database becomes, so
// that full-width typing finds half-width data there too.
std::string NormalizeWidth(std::string_view utf8);

}  // namespace orva
