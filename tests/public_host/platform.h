// The platform the public-API host program runs on, as an ERP client has it
// before it creates CustFace: a company database, the session string of a
// logged-on user, and a user interface. Here the company is a fresh copy of
// the demo company and the user interface is a scripted user who, when the
// browse window comes up, picks one price entry.
//
// Declared with the standard library only, so that the host program that
// includes it sees nothing of the module beyond include/.
#pragma once

#include <cstdint>
#include <memory>

class HostPlatform {
  public:
    HostPlatform();
    ~HostPlatform();
    HostPlatform(const HostPlatform&) = delete;
    HostPlatform& operator=(const HostPlatform&) = delete;

    // The price entry the user picks in the browse window.
    std::int32_t PickedEntry() const { return pickedEntry_; }
    // Windows the user has seen so far.
    int WindowsShown() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::int32_t pickedEntry_ = 0;
};
