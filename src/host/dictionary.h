// "Fennic.Dictionary": a keyed parameter set handed to the base-data lookups
// and returned by them as the chosen record. Keys compare without regard to
// case and keep the order in which they were first set.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvasaleprice/variant.h"

namespace orva {

class Dictionary {
  public:
    static constexpr const char* kProgID = "Fennic.Dictionary";

    // Sets or replaces the value under the key.
    void SetValue(std::string_view key, Variant value);
    // The value under the key; Null when the key is not set.
    Variant Value(std::string_view key) const;
    bool Exists(std::string_view key) const;
    // Removes the key; false when it was not set.
    bool Remove(std::string_view key);
    int Count() const { return static_cast<int>(entries_.size()); }
    // Keys as first written, in order.
    std::vector<std::string> Keys() const;

  private:
    std::vector<std::pair<std::string, Variant>>::const_iterator Find(std::string_view key) const;

    std::vector<std::pair<std::string, Variant>> entries_;
};

}  // namespace orva
