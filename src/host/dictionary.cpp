#include "host/dictionary.h"

#include "host/base/text_util.h"

namespace orva {

std::vector<std::pair<std::string, Variant>>::const_iterator Dictionary::Find(
    std::string_view key) const {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (EqualsNoCase(it->first, key))
            return it;
    }
    return entries_.end();
}

void Dictionary::SetValue(std::string_view key, Variant value) {
    auto it = Find(key);
    if (it == entries_.end()) {
        entries_.emplace_back(std::string(key), std::move(value));
    } else {
        entries_[static_cast<std::size_t>(it - entries_.begin())].second = std::move(value);
    }
}

Variant Dictionary::Value(std::string_view key) const {
    auto it = Find(key);
    return it == entries_.end() ? Variant() : it->second;
}

bool Dictionary::Exists(std::string_view key) const {
    return Find(key) != entries_.end();
}

bool Dictionary::Remove(std::string_view key) {
    auto it = Find(key);
    if (it == entries_.end())
        return false;
    entries_.erase(it);
    return true;
}

std::vector<std::string> Dictionary::Keys() const {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (auto& e : entries_) keys.push_back(e.first);
    return keys;
}

}  // namespace orva
