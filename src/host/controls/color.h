// Colours as the host's controls take them: 0x00BBGGRR, red in the low byte
// (so RGB(255, 255, 160) is 0xA0FFFF).
#pragma once

#include <cstdint>

namespace orva {

using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red & 0xFF) | (static_cast<Color>(green & 0xFF) << 8) |
           (static_cast<Color>(blue & 0xFF) << 16);
}
constexpr int RedOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr Color kWhite = Rgb(255, 255, 255);

}  // namespace orva
