// The host's registry of components by ProgID. The module creates host
// components (the connection component, the list window, the resource
// loaders, ...) by name; the host application and tests register factories.
// Names compare without regard to case, as ProgIDs do.
#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "orvasaleprice/com_error.h"

namespace orva {

class ComponentRegistry {
  public:
    using Factory = std::function<std::any()>;

    template <class T>
    static void Register(std::string_view progId, std::function<std::shared_ptr<T>()> make) {
        RegisterAny(progId, [make = std::move(make)]() -> std::any { return make(); });
    }
    static void Unregister(std::string_view progId);
    static bool IsRegistered(std::string_view progId);

    // Throws ComError kCannotCreate when nothing is registered under the name
    // or the factory yields another type; a factory's own error passes through.
    template <class T>
    static std::shared_ptr<T> Create(std::string_view progId) {
        std::any made = CreateAny(progId);
        if (auto* p = std::any_cast<std::shared_ptr<T>>(&made); p && *p)
            return *p;
        throw ComError(ComError::kCannotCreate,
                       "ActiveX component can't create object: " + std::string(progId));
    }

  private:
    static void RegisterAny(std::string_view progId, Factory make);
    static std::any CreateAny(std::string_view progId);
};

}  // namespace orva
