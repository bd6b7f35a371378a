// A compiled message catalogue in the GNU .mo format, read directly so that
// translations do not depend on the process locale or on the C library's
// gettext: a table of original texts (the Chinese keys) and translations.
//
// Layout (all numbers 32-bit, in the byte order the magic number reveals):
//   0 magic 0x950412de, 4 revision, 8 string count N, 12 offset of the
//   originals table, 16 offset of the translations table, 20/24 hash table
//   (not used: lookups go through our own map). Each table holds N pairs
//   (length, offset) of NUL-terminated strings.
// Plural entries keep their first form; a context is part of the key as
// "context\x04text". The entry with the empty key is the header.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace orva {

class MoCatalog {
  public:
    MoCatalog() = default;

    // Throws std::runtime_error naming what is wrong for a text that is not a
    // well-formed catalogue.
    static MoCatalog Parse(std::string_view bytes);
    // Reads and parses a file; std::runtime_error when it cannot be read.
    static MoCatalog ReadFile(const std::string& path);

    // The translation of key, or nullptr when the catalogue has none (an
    // empty translation counts as none).
    const std::string* Find(std::string_view key) const;
    // A field of the header entry ("Language", "X-Orva-Font-Name"), "" when absent.
    std::string HeaderField(std::string_view name) const;
    // Translated entries, the header excluded.
    std::size_t Size() const { return messages_.size(); }

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> messages_;
    std::string header_;
};

}  // namespace orva
