#include "session/keyed_strings.h"

#include "host/base/text_util.h"
#include "orvasaleprice/com_error.h"

namespace orva {

const std::pair<std::string, std::string>* KeyedStrings::Find(std::string_view key) const {
    for (auto& e : entries_) {
        if (EqualsNoCase(e.first, key))
            return &e;
    }
    return nullptr;
}

void KeyedStrings::Add(std::string_view key, std::string value) {
    if (Find(key)) {
        throw ComError(ComError::kDuplicateKey,
                       "This key is already associated with an element of this collection: " +
                           std::string(key));
    }
    entries_.emplace_back(std::string(key), std::move(value));
}

const std::string& KeyedStrings::Item(std::string_view key) const {
    if (auto* e = Find(key))
        return e->second;
    throw ComError(ComError::kItemNotFound,
                   "The session has no property " + std::string(key) + ".");
}

bool KeyedStrings::Exists(std::string_view key) const {
    return Find(key) != nullptr;
}

}  // namespace orva
