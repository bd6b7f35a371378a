// Conversions between the module's values and Qt's: UTF-8 texts, colours
// (0x00BBGGRR) and lengths in twips (1440 to the inch; 15 twips are one
// pixel at 96 dpi).
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "host/controls/color.h"

namespace orva::qt {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string U(const QString& text) {
    return text.toStdString();
}

inline QColor ToQColor(Color c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

constexpr int kTwipsPerInch = 1440;
constexpr int kDefaultDpi = 96;

// Pixels for a length in twips, rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi = kDefaultDpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                        : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

constexpr int PixelsToTwips(int pixels, int dpi = kDefaultDpi) {
    return dpi > 0 ? static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi) : 0;
}

}  // namespace orva::qt
