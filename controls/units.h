// The units a window layout is stored in and their pixels at the system DPI:
// twips (1/1440 inch), HIMETRIC (1/100 mm), points and pixels drawn for 96
// DPI. Every conversion rounds to the nearest unit, halves away from zero,
// as the platform's MulDiv does, so that a measured pixel size survives the
// round trip through twips at any DPI up to 1440. Portable: no platform call.
#pragma once

namespace units {

// n / d rounded to the nearest integer, halves away from zero; d > 0.
constexpr int RoundDiv(long long n, long long d) {
    return static_cast<int>((n >= 0 ? n + d / 2 : n - d / 2) / d);
}

constexpr int TwipsToPixels(int twips, int dpi) {
    return RoundDiv(static_cast<long long>(twips) * dpi, 1440);
}
constexpr int PixelsToTwips(int pixels, int dpi) {
    return RoundDiv(static_cast<long long>(pixels) * 1440, dpi);
}
// A size in pixels as drawn at 96 DPI (a picture's own pixels, a pen width),
// scaled to `dpi` like every other size of the window.
constexpr int ScalePixels(int pixels, int dpi) {
    return RoundDiv(static_cast<long long>(pixels) * dpi, 96);
}
constexpr int TwipsToHimetric(int twips) {
    return RoundDiv(static_cast<long long>(twips) * 2540, 1440);
}
// The height of a font of `hundredths` of a point, in pixels at `dpi`.
constexpr int PointsToPixels(int hundredths, int dpi) {
    return RoundDiv(static_cast<long long>(hundredths) * dpi, 7200);
}

}  // namespace units
