#include "transcript_file.h"

#include <algorithm>
#include <sstream>

#include "host/base/text_util.h"
#include "orvasaleprice/variant.h"

namespace orva::test {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

std::string Transcript(const std::vector<std::string>& entries) {
    const std::string today = Date::Today().ToText();
    std::string out;
    for (std::string entry : entries) {
        entry = ReplaceAll(std::move(entry), "\\", "\\\\");
        entry = ReplaceAll(std::move(entry), "\r", "\\r");
        entry = ReplaceAll(std::move(entry), "\n", "\\n");
        entry = ReplaceAll(std::move(entry), "\t", "\\t");
        out += ReplaceAll(std::move(entry), today, "<today>") + "\n";
    }
    return out;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> e = Lines(expected), a = Lines(actual);
    std::size_t i = 0;
    while (i < e.size() && i < a.size() && e[i] == a[i]) ++i;
    std::ostringstream out;
    out << "first difference at line " << i + 1 << "\n";
    auto show = [&](const char* what, const std::vector<std::string>& lines) {
        out << what << ":\n";
        for (std::size_t k = i < 3 ? 0 : i - 3; k < std::min(lines.size(), i + 4); ++k)
            out << (k == i ? "> " : "  ") << k + 1 << ": " << lines[k] << "\n";
        if (i >= lines.size())
            out << "> " << i + 1 << ": (end)\n";
    };
    show("expected", e);
    show("actual", a);
    return out.str();
}

}  // namespace orva::test
