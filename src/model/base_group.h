// A bounded, keyed store of base-data record sets for the editor's checks.
// Holds at most 100 entries in the order added; adding to a full store first
// drops the oldest. A key already present leaves the store as it is.
// ItemExitIn never hands a stored set back, so every check runs its query
// afresh and then adds the fresh set (the store never serves stale data).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva {

class BaseGroup {
  public:
    static constexpr std::int32_t kCapacity = 100;

    // At capacity the oldest entry goes first, then obj is added under key
    // unless the key is present (keys compare without regard to case).
    void Add(std::shared_ptr<Recordset> obj, std::string_view key);
    // Always nullptr: callers fall back to their query.
    std::shared_ptr<Recordset> ItemExitIn(std::string_view key) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Whether a set is stored under the key.
    bool Contains(std::string_view key) const;

  private:
    std::vector<std::shared_ptr<Recordset>> items_;
    std::vector<std::string> keys_;  // folded to lower case
};

}  // namespace orva
