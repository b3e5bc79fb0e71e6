// Colours as the program stores them: red in the lowest byte (r | g << 8 | b << 16). A plain
// value, so that the cuts can say which colour a figure is shown in without any GUI.
#pragma once

#include <cstdint>

namespace fundlens {

using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
    return static_cast<Rgb>(r & 0xff) | static_cast<Rgb>(g & 0xff) << 8 |
           static_cast<Rgb>(b & 0xff) << 16;
}

constexpr int RedOf(Rgb c) {
    return static_cast<int>(c & 0xff);
}
constexpr int GreenOf(Rgb c) {
    return static_cast<int>(c >> 8 & 0xff);
}
constexpr int BlueOf(Rgb c) {
    return static_cast<int>(c >> 16 & 0xff);
}

// The colours of figures.
inline constexpr Rgb RgbRed = MakeRgb(255, 0, 0);
inline constexpr Rgb RgbGreen = MakeRgb(0, 128, 0);
inline constexpr Rgb RgbGrey = MakeRgb(192, 192, 192);
inline constexpr Rgb RgbBlue = MakeRgb(0, 96, 192);
inline constexpr Rgb RgbBlack = MakeRgb(0, 0, 0);
inline constexpr Rgb RgbWhite = MakeRgb(255, 255, 255);

} // namespace fundlens
