// Reads gettext PO and POT files (the translation sources in data/i18n and
// the key template the build extracts), so tests can compare what the code
// uses with what the translators wrote.
#pragma once

#include <string>
#include <vector>

namespace orva::test {

struct PoEntry {
    std::string context;                  // msgctxt, "" when none
    std::string id;                       // msgid, escapes resolved
    std::string str;                      // msgstr (msgstr[0] for plurals)
    std::vector<std::string> references;  // "#: file:line" comments
    bool fuzzy = false;
    int line = 0;  // line of the msgid in the file
};

// Every entry of the file, the header (empty msgid) included; obsolete
// ("#~") entries are left out. Throws std::runtime_error when the file cannot
// be read or a line is not PO syntax.
std::vector<PoEntry> ReadPoFile(const std::string& path);

// The msgstr of msgid in the file, "" when absent.
std::string PoTranslation(const std::string& path, const std::string& msgid);

// A PO string literal for text: quotes, backslashes and line breaks escaped.
std::string PoQuote(const std::string& text);

}  // namespace orva::test
