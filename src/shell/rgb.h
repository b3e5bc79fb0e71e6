// Rgb colours meeting Qt's.
#pragma once

#include "portal/rgb.h"

#include <string>

class QColor;

namespace fundlens {

QColor ToQColor(Rgb c);
Rgb FromQColor(const QColor& c);

// "#rrggbb", lower case.
std::string RgbToHex(Rgb c);

} // namespace fundlens
