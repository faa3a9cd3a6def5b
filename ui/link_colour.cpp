#include "ui/link_colour.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double kReadableContrast = 4.5;

// The relative luminance of a colour of the sRGB space.
double Luminance(Rgb colour) {
    auto linear = [](int channel) {
        double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
    double first = Luminance(a), second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool UsesSystemLinkColour(bool highContrast, Rgb background) {
    return highContrast || ContrastRatio({0, 0, 255}, background) < kReadableContrast;
}

}  // namespace ui
