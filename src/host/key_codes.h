// Key codes, shift state and mouse buttons as the control models and the
// windows take them: the platform's virtual key codes (letters and digits by
// their capital character), the shift bits of a key or mouse event, and the
// button bits of a mouse event. The Qt face turns its events into these.
#pragma once

namespace orva {

inline constexpr int kKeyBack = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyAlt = 18;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyPageUp = 33;
inline constexpr int kKeyPageDown = 34;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyN = 'N';
inline constexpr int kKeyS = 'S';
inline constexpr int kKeyF1 = 112;  // F2 ... F24 follow
inline constexpr int kKeyF7 = 118;
inline constexpr int kKeyF8 = 119;

inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

}  // namespace orva
