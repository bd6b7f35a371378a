// Text as the find component compares it: as the company database's text
// comparison does (tsql/utf8.h, the collation every engine registers), so
// that a find in the ledger and search all's statements agree on every row:
// letter case does not count (ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic) and the full-width forms of ASCII equal their half-width
// letters and digits ("ＡＢＣ", "Abc" and "abc" fold to "abc"). What the
// database tells apart stays apart: "ß" is not "ss", "㎏" not "kg". Invalid
// UTF-8 bytes are kept as they are and compared as such.
#pragma once

#include <string>
#include <string_view>

namespace orva {

// The text with every character folded as the database's comparison folds
// it. Text of ASCII and CJK ideographs only takes a fast path (ASCII lower
// case only).
std::string FoldText(std::string_view utf8);
// Unicode NFKC: what a typed value becomes before anything compares it, in
// the ledger or in the database ("ＡＢＣ" is "ABC", "㎏" is "kg", an
// ideographic space a blank), so that the typed value means the same to both.
std::string NormalizeWidth(std::string_view utf8);

}  // namespace orva
