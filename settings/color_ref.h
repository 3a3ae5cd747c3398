#pragma once

namespace korvel {

// Colours are kept as Windows colour references: 00BBGGRR, red in the low
// byte. These convert without pulling in a GUI module.
struct ColorRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

constexpr ColorRgb colorRefToRgb(int colorRef) {
    const auto bits = static_cast<unsigned>(colorRef);
    return {int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu)};
}

constexpr int colorRefFromRgb(int red, int green, int blue) {
    return int((unsigned(blue & 0xFF) << 16) | (unsigned(green & 0xFF) << 8) |
               unsigned(red & 0xFF));
}

} // namespace korvel
