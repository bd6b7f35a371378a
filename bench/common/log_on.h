// Logging a benchmark's user on to a company, as the host does before it
// creates the module.
#pragma once

#include <string>

#include "demo/demo_company.h"

namespace orva::bench {

// Registers the host's services, hands the module the session string of
// `user` on `company` (the process's PropsString) and opens the shared
// connection on it. Returns the session string. The session's parsed
// properties are left alone: programs whose work reads them also call
// InitSessionProps.
std::string LogOn(const std::string& company, int user = demo::kAdminUserId);

}  // namespace orva::bench
