#include "support/po_file.h"

#include <fstream>
#include <stdexcept>

namespace orva::test {
namespace {

[[noreturn]] void Fail(const std::string& path, int line, const std::string& what) {
    throw std::runtime_error(path + ":" + std::to_string(line) + ": " + what);
}

// The text of a "..." literal at the start of s, escapes resolved.
std::string Unquote(const std::string& s, const std::string& path, int line) {
    std::size_t a = s.find('"');
    std::size_t b = s.rfind('"');
    if (a == std::string::npos || b == a)
        Fail(path, line, "expected a quoted string");
    std::string out;
    for (std::size_t i = a + 1; i < b; ++i) {
        char c = s[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= b)
            Fail(path, line, "dangling backslash");
        switch (s[i]) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                Fail(path, line, std::string("unknown escape \\") + s[i]);
        }
    }
    return out;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

std::vector<PoEntry> ReadPoFile(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::vector<PoEntry> entries;
    PoEntry cur;
    bool haveId = false;
    bool haveStr = false;
    std::string discard;            // plural forms other than the first
    std::string* target = nullptr;  // the field continuation lines append to
    auto flush = [&] {
        if (haveId)
            entries.push_back(cur);
        cur = PoEntry();
        haveId = haveStr = false;
        target = nullptr;
    };
    std::string text;
    int n = 0;
    while (std::getline(in, text)) {
        ++n;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        text = text.substr(first);
        if (StartsWith(text, "#~"))
            continue;
        if (text[0] == '#') {
            // A comment after the strings of an entry starts the next entry.
            if (haveStr)
                flush();
            if (StartsWith(text, "#:")) {
                cur.references.push_back(text.substr(2));
            } else if (StartsWith(text, "#,") && text.find("fuzzy") != std::string::npos) {
                cur.fuzzy = true;
            }
            continue;
        }
        if (text[0] == '"') {
            if (!target)
                Fail(path, n, "string without a keyword");
            *target += Unquote(text, path, n);
        } else if (StartsWith(text, "msgctxt")) {
            if (haveStr)
                flush();
            target = &cur.context;
            *target = Unquote(text, path, n);
        } else if (StartsWith(text, "msgid_plural")) {
            target = &discard;
        } else if (StartsWith(text, "msgid")) {
            if (haveStr)
                flush();
            if (haveId)
                Fail(path, n, "msgid without msgstr");
            haveId = true;
            cur.line = n;
            target = &cur.id;
            *target = Unquote(text, path, n);
        } else if (StartsWith(text, "msgstr[0]") || StartsWith(text, "msgstr ")) {
            if (!haveId)
                Fail(path, n, "msgstr without msgid");
            haveStr = true;
            target = &cur.str;
            *target = Unquote(text, path, n);
        } else if (StartsWith(text, "msgstr[")) {
            target = &discard;
        } else {
            Fail(path, n, "not PO syntax: " + text);
        }
    }
    flush();
    return entries;
}

std::string PoTranslation(const std::string& path, const std::string& msgid) {
    for (const auto& e : ReadPoFile(path)) {
        if (e.context.empty() && e.id == msgid)
            return e.str;
    }
    return {};
}

std::string PoQuote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

}  // namespace orva::test
