// The statement log written as a transcript file, one line per entry, and
// the report of where a transcript differs from the one kept.
#pragma once

#include <string>
#include <vector>

namespace orva::test {

// Each entry on a line of its own, its CR, LF, tab and backslash written as
// \r, \n, \t and \\, and today's date ("yyyy-mm-dd") as <today>.
std::string Transcript(const std::vector<std::string>& entries);

// The first line where the two texts differ, with three lines either side
// of it in both.
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace orva::test
