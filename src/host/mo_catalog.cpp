#include "host/mo_catalog.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/base/text_util.h"

namespace orva {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::uint32_t Word(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4)
            Fail("truncated file");
        auto b = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[offset + i]));
        };
        return swapped_ ? (b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3))
                        : (b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0));
    }

    void SetSwapped(bool s) { swapped_ = s; }

    // The string of table entry i: (length, offset) at table + 8 * i.
    std::string_view Entry(std::uint32_t table, std::uint32_t i) const {
        std::size_t at = static_cast<std::size_t>(table) + 8 * static_cast<std::size_t>(i);
        std::uint32_t length = Word(at);
        std::uint32_t offset = Word(at + 4);
        if (offset > bytes_.size() || bytes_.size() - offset <= length)
            Fail("string out of range");
        return bytes_.substr(offset, length);
    }

    [[noreturn]] static void Fail(const std::string& what) {
        throw std::runtime_error("not a valid .mo catalogue: " + what);
    }

  private:
    std::string_view bytes_;
    bool swapped_ = false;
};

// First form of a plural entry; the whole text otherwise.
std::string_view FirstForm(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

}  // namespace

MoCatalog MoCatalog::Parse(std::string_view bytes) {
    Reader r(bytes);
    std::uint32_t magic = r.Word(0);
    if (magic == kMagicSwapped) {
        r.SetSwapped(true);
    } else if (magic != kMagic) {
        Reader::Fail("wrong magic number");
    }
    std::uint32_t revision = r.Word(4);
    if ((revision >> 16) > 1)
        Reader::Fail("unknown revision " + std::to_string(revision >> 16));
    std::uint32_t count = r.Word(8);
    std::uint32_t originals = r.Word(12);
    std::uint32_t translations = r.Word(16);
    if (count > bytes.size() / 16)
        Reader::Fail("string count larger than the file");

    MoCatalog cat;
    cat.messages_.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view key = FirstForm(r.Entry(originals, i));
        std::string_view text = FirstForm(r.Entry(translations, i));
        if (key.empty()) {
            cat.header_ = std::string(text);
        } else if (!text.empty()) {
            cat.messages_.emplace(std::string(key), std::string(text));
        }
    }
    return cat;
}

MoCatalog MoCatalog::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error("cannot read " + path);
    try {
        return Parse(bytes);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

const std::string* MoCatalog::Find(std::string_view key) const {
    auto it = messages_.find(key);
    return it == messages_.end() ? nullptr : &it->second;
}

std::string MoCatalog::HeaderField(std::string_view name) const {
    for (const auto& text : Split(header_, "\n")) {
        std::string_view line = text;
        auto colon = line.find(':');
        if (colon != std::string_view::npos && EqualsNoCase(Trim(line.substr(0, colon)), name)) {
            return std::string(Trim(line.substr(colon + 1)));
        }
    }
    return {};
}

}  // namespace orva
