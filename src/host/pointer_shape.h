// The mouse pointer a window asks its view to show, by the platform's
// pointer numbers.
#pragma once

namespace orva {

enum class PointerShape { kDefault = 0, kHourglass = 11 };

}  // namespace orva
