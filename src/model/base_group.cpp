#include "model/base_group.h"

#include <algorithm>

#include "host/base/text_util.h"

namespace orva {

void BaseGroup::Add(std::shared_ptr<Recordset> obj, std::string_view key) {
    if (Count() >= kCapacity) {
        items_.erase(items_.begin());
        keys_.erase(keys_.begin());
    }
    std::string folded = ToLowerAscii(key);
    if (std::find(keys_.begin(), keys_.end(), folded) != keys_.end())
        return;
    items_.push_back(std::move(obj));
    keys_.push_back(std::move(folded));
}

std::shared_ptr<Recordset> BaseGroup::ItemExitIn(std::string_view) const {
    return nullptr;
}

bool BaseGroup::Contains(std::string_view key) const {
    return std::find(keys_.begin(), keys_.end(), ToLowerAscii(key)) != keys_.end();
}

}  // namespace orva
