#include "import/zip_guard.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <string>

namespace orva::import {
namespace {

std::uint32_t Le(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kDirectoryEntry = 0x02014b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kEntrySize = 46;

}  // namespace

std::optional<std::uint64_t> UnpackedSize(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < static_cast<long>(kEndRecordSize))
        return std::nullopt;
    // The end record sits in the last 22 bytes plus a comment of up to 64 KiB.
    const long tailSize = std::min<long>(size, kEndRecordSize + 0xFFFF);
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    if (std::fseek(file.get(), size - tailSize, SEEK_SET) != 0 ||
        std::fread(tail.data(), 1, tail.size(), file.get()) != tail.size())
        return std::nullopt;
    const auto* t = reinterpret_cast<const unsigned char*>(tail.data());
    long end = -1;
    for (long i = tailSize - static_cast<long>(kEndRecordSize); i >= 0; --i) {
        if (Le(t + i, 4) == kEndOfDirectory) {
            end = i;
            break;
        }
    }
    if (end < 0)
        return std::nullopt;
    const std::uint32_t entries = Le(t + end + 10, 2);
    const std::uint32_t directorySize = Le(t + end + 12, 4);
    const std::uint32_t directoryOffset = Le(t + end + 16, 4);
    if (static_cast<std::uint64_t>(directoryOffset) + directorySize >
        static_cast<std::uint64_t>(size))
        return std::nullopt;
    std::string directory(directorySize, '\0');
    if (std::fseek(file.get(), static_cast<long>(directoryOffset), SEEK_SET) != 0 ||
        std::fread(directory.data(), 1, directory.size(), file.get()) != directory.size())
        return std::nullopt;

    const auto* d = reinterpret_cast<const unsigned char*>(directory.data());
    std::uint64_t total = 0;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        if (at + kEntrySize > directory.size() || Le(d + at, 4) != kDirectoryEntry)
            return std::nullopt;
        const std::uint32_t unpacked = Le(d + at + 24, 4);
        if (unpacked == 0xFFFFFFFFu)
            return std::numeric_limits<std::uint64_t>::max();
        total += unpacked;
        at += kEntrySize + Le(d + at + 28, 2) + Le(d + at + 30, 2) + Le(d + at + 32, 2);
    }
    return total;
}

}  // namespace orva::import
