// What the host's user interface does for the module: modal windows, message
// boxes, dialogs and help. The Qt build supplies a real one; tests supply a
// scripted user. One instance is current per process, set by the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orva {

class HostUi {
public:
    virtual ~HostUi() = default;

    // Shows the help page of the module for a window.
    virtual void ShowHelp(std::int32_t hwnd, const std::string& helpPage) = 0;
};

// The current user interface; a headless default that does nothing visible
// (help requests are recorded in the default only) when the host set none.
HostUi& CurrentUi();
void SetCurrentUi(std::shared_ptr<HostUi> ui);

}  // namespace orva
