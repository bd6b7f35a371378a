// The platform the public-API host program runs on, as an ERP client has it
// before it creates CustFace: a company database, the session string of a
// logged-on user, and a user interface with a user who, when the browse
// window comes up on the customer the host preselects, picks one of its
// price entries. Two platforms build it:
//   platform.cpp            in the build tree, on the test support: a fresh
//                           copy of the demo company and a scripted user;
//   installed_platform.cpp  against the installed packages, on the public
//                           API alone: the Qt windows offscreen and a user
//                           pressing Enter on the first entry (CMakeLists.txt).
//
// Declared with the standard library only, so that the host program that
// includes it sees nothing of the module beyond include/.
#pragma once

#include <cstdint>
#include <memory>

class HostPlatform {
  public:
    // The program's arguments (installed_platform.cpp reads its company).
    HostPlatform(int argc, char** argv);
    ~HostPlatform();
    HostPlatform(const HostPlatform&) = delete;
    HostPlatform& operator=(const HostPlatform&) = delete;

    // The customer the host preselects (SelCustID).
    std::int32_t Customer() const { return customer_; }
    // The price entry the user picked in the browse window (0 before).
    std::int32_t PickedEntry() const;
    // Windows the user has seen so far.
    int WindowsShown() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::int32_t customer_ = 0;
};
