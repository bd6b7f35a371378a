// "Shelvo.ShareProps": the host's process-wide property store, keyed by
// process ID and property name. The host application fills "PropsString"
// (the session string) before it calls the module.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "orvasaleprice/variant.h"

namespace orva {

class ShareProps {
  public:
    static constexpr const char* kProgID = "Shelvo.ShareProps";

    // Null when nothing is stored under (processId, name).
    Variant GetProperty(std::int32_t processId, std::string_view name) const;
    void SetProperty(std::int32_t processId, std::string_view name, Variant value);

    static std::int32_t CurrentProcessId();
};

}  // namespace orva
