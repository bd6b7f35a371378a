#include "host/export/xlsx_check.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

constexpr const char* kSheet = "xl/worksheets/sheet1.xml";
// The end of the sheet kept while inflating; the last row lies in it.
constexpr std::size_t kTailKeep = 1 << 20;

std::uint32_t U32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

[[noreturn]] void Incomplete(const std::string& shownAs, const std::string& why) {
    throw ComError(ComError::kGeneric,
                   "Cannot write " + shownAs + ": the file came out incomplete (" + why +
                       "); is the disk full?",
                   "Export");
}

// The zip's central directory, read through its end record (which lies in
// the last 64 KiB + 22 bytes).
std::vector<unsigned char> CentralDirectory(std::ifstream& in, const std::string& shownAs) {
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff tailSize = std::min<std::streamoff>(size, 65536 + 22);
    std::vector<unsigned char> tail(static_cast<std::size_t>(tailSize));
    in.seekg(size - tailSize);
    in.read(reinterpret_cast<char*>(tail.data()), tailSize);
    std::size_t eocd = std::string::npos;
    for (std::size_t i = tail.size() >= 22 ? tail.size() - 22 + 1 : 0; i-- > 0;) {
        if (U32(&tail[i]) == 0x06054b50) {
            eocd = i;
            break;
        }
    }
    if (eocd == std::string::npos)
        Incomplete(shownAs, "no zip directory");
    const std::uint32_t dirSize = U32(&tail[eocd + 12]);
    const std::uint32_t dirOffset = U32(&tail[eocd + 16]);
    std::vector<unsigned char> dir(dirSize);
    in.seekg(dirOffset);
    in.read(reinterpret_cast<char*>(dir.data()), dirSize);
    if (!in)
        Incomplete(shownAs, "a broken zip directory");
    return dir;
}

// Where the sheet's deflated data lies in the file.
struct SheetData {
    std::uint32_t localOffset = 0;  // of its local header
    std::uint32_t compressed = 0;   // bytes
};

SheetData FindSheet(const std::vector<unsigned char>& dir, const std::string& shownAs) {
    for (std::size_t p = 0; p + 46 <= dir.size() && U32(&dir[p]) == 0x02014b50;) {
        const std::uint16_t nameLen = U16(&dir[p + 28]);
        const std::size_t next = p + 46 + nameLen + U16(&dir[p + 30]) + U16(&dir[p + 32]);
        if (p + 46 + nameLen <= dir.size() &&
            std::string_view(reinterpret_cast<const char*>(&dir[p + 46]), nameLen) == kSheet) {
            if (U16(&dir[p + 10]) != 8)
                Incomplete(shownAs, "an unexpected compression");
            return {U32(&dir[p + 42]), U32(&dir[p + 20])};
        }
        p = next;
    }
    Incomplete(shownAs, "no sheet");
}

// The last kTailKeep bytes (at least) of the inflated sheet.
std::string InflatedTail(std::ifstream& in, const SheetData& sheet, const std::string& shownAs) {
    unsigned char local[30];
    in.seekg(sheet.localOffset);
    in.read(reinterpret_cast<char*>(local), sizeof local);
    if (!in || U32(local) != 0x04034b50)
        Incomplete(shownAs, "a broken zip entry");
    in.seekg(sheet.localOffset + 30 + U16(&local[26]) + U16(&local[28]));

    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        Incomplete(shownAs, "no inflater");
    std::vector<char> input(1 << 16), output(1 << 16);
    std::string end;
    std::uint32_t left = sheet.compressed;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0) {
            if (left == 0)
                break;
            const std::uint32_t n = std::min<std::uint32_t>(left, input.size());
            in.read(input.data(), n);
            if (!in)
                break;
            left -= n;
            z.next_in = reinterpret_cast<Bytef*>(input.data());
            z.avail_in = n;
        }
        z.next_out = reinterpret_cast<Bytef*>(output.data());
        z.avail_out = static_cast<uInt>(output.size());
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        end.append(output.data(), output.size() - z.avail_out);
        if (end.size() > 2 * kTailKeep)
            end.erase(0, end.size() - kTailKeep);
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END)
        Incomplete(shownAs, "a broken sheet");
    return end;
}

}  // namespace

void CheckXlsxSheet(const std::string& path, const std::string& shownAs, unsigned lastRow) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Incomplete(shownAs, "it cannot be read back");
    const SheetData sheet = FindSheet(CentralDirectory(in, shownAs), shownAs);
    std::string end = InflatedTail(in, sheet, shownAs);

    const std::string closing = "</worksheet>";
    while (!end.empty() && (end.back() == '\n' || end.back() == '\r')) end.pop_back();
    if (end.size() < closing.size() ||
        end.compare(end.size() - closing.size(), closing.size(), closing) != 0)
        Incomplete(shownAs, "the sheet is cut short");
    const std::string last = "<row r=\"" + std::to_string(lastRow) + "\"";
    const std::size_t at = end.rfind("<row r=\"");
    if (at == std::string::npos || end.compare(at, last.size(), last) != 0)
        Incomplete(shownAs, "rows are missing");
}

}  // namespace orva
