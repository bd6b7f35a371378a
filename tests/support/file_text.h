// Whole files as bytes, for tests that check what the module wrote or feed
// it a file of their own, and the page count of a written PDF.
#pragma once

#include <string>

namespace orva::test {

// The file's bytes; "" when it cannot be read.
std::string ReadFile(const std::string& path);
// Replaces the file with the bytes.
void WriteFile(const std::string& path, const std::string& bytes);
// The page count pdfinfo reports, -1 when it cannot read the file.
int PdfPages(const std::string& path);

}  // namespace orva::test
