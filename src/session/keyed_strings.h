// An ordered collection of strings under keys that compare without regard to
// case, as the session properties are kept. Adding a key twice and reading a
// missing key raise the collection's errors.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orva {

class KeyedStrings {
  public:
    // Throws ComError kDuplicateKey when the key is already present.
    void Add(std::string_view key, std::string value);
    // Throws ComError kItemNotFound when the key is not present.
    const std::string& Item(std::string_view key) const;
    bool Exists(std::string_view key) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    // Entries in the order added, keys as written.
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

  private:
    const std::pair<std::string, std::string>* Find(std::string_view key) const;

    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace orva
