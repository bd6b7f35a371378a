#include "host/share_props.h"

#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

namespace orva {
namespace {

// The store outlives every ShareProps object: it is the host's, not theirs.
struct Store {
    std::mutex mutex;
    std::map<std::pair<std::int32_t, std::string>, Variant, std::less<>> values;
};

Store& TheStore() {
    // Process-wide: the host's shared properties are keyed by process ID and
    // name; the session string a default module context reads lives here.
    static Store store;
    return store;
}

}  // namespace

Variant ShareProps::GetProperty(std::int32_t processId, std::string_view name) const {
    auto& s = TheStore();
    std::lock_guard lock(s.mutex);
    auto it = s.values.find(std::make_pair(processId, std::string(name)));
    return it == s.values.end() ? Variant() : it->second;
}

void ShareProps::SetProperty(std::int32_t processId, std::string_view name, Variant value) {
    auto& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.values[std::make_pair(processId, std::string(name))] = std::move(value);
}

std::int32_t ShareProps::CurrentProcessId() {
    return static_cast<std::int32_t>(::getpid());
}

}  // namespace orva
