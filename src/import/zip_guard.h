// The guard before an .xlsx file is unpacked: its parts are read into memory
// whole, so the sizes its central directory declares are added up first and
// an archive that would unpack to more than the cap (a zip bomb) is refused.
// The unpacking itself stops at the declared size, so a part that lies about
// its size cannot grow past it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orva::import {

// The bytes the archive's parts unpack to, or nullopt when `path` holds no
// readable zip archive. Sizes that need the 64-bit extension count as
// unlimited.
std::optional<std::uint64_t> UnpackedSize(const std::string& path);

}  // namespace orva::import
