// The 108 sectors of the sector window: button, caption, portal sector code and place.
#pragma once

#include <array>
#include <string_view>

namespace fundlens {

struct Sector {
    int button;               // n of the button named 按钮n
    std::string_view caption; // UTF-8; the sector's name
    int code;                 // sent to the portal as "BK0" + code
    int row;                  // 1..12, top to bottom
    int column;               // 1..9, left to right
};

inline constexpr int SectorCount = 108;

// Ordered by button number. Buttons run left to right in the first row and right to left in
// every other row; two captions share code 823.
const std::array<Sector, SectorCount>& SectorTable();

} // namespace fundlens
