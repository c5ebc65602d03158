#pragma once
// The layout is measured in twips, 15 to a device-independent pixel. Qt scales
// device-independent pixels on HiDPI screens, so the window keeps its size.

#include <cmath>
#include <cstdint>

#include <QRect>

namespace snipwell::qt {

inline constexpr int kTwipsPerPixel = 15;

// Every layout figure is a whole number of pixels.
constexpr int pixelsFromTwips(int twips) { return twips / kTwipsPerPixel; }

// Marker positions are written as single-precision twips; round to the
// nearest pixel, ties to even like every other conversion of the program.
inline int pixelsFromTwips(float twips) {
    return static_cast<int>(std::nearbyint(twips / static_cast<float>(kTwipsPerPixel)));
}

constexpr QRect rectFromTwips(int left, int top, int width, int height) {
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}

}  // namespace snipwell::qt
