#include "support/file_text.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace orva::test {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int PdfPages(const std::string& path) {
    FILE* p = ::popen(("pdfinfo '" + path + "' 2>/dev/null").c_str(), "r");
    if (!p)
        return -1;
    char line[512];
    int pages = -1;
    while (std::fgets(line, sizeof line, p))
        if (std::sscanf(line, "Pages: %d", &pages) == 1)
            break;
    ::pclose(p);
    return pages;
}

}  // namespace orva::test
