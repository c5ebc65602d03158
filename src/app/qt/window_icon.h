#pragma once
// The window's icon: a strip of sound with a marked stretch cut out. It is
// one drawing on a 32 x 32 grid; the window shows it at 32 x 32 pixels, and
// the build makes the installed icons (SVG and PNGs at every size) from it.

#include <QIcon>
#include <QImage>

class QPainter;

namespace snipwell::qt {

inline constexpr int kWindowIconGrid = 32;

// Paints the icon on a kWindowIconGrid square; scale the painter for other sizes.
void paintWindowIcon(QPainter& painter);
// The icon on a transparent square of size x size pixels.
QImage drawWindowIconImage(int size = kWindowIconGrid);
QIcon makeWindowIcon();

}  // namespace snipwell::qt
