#pragma once
// The face of a picture button: a push button drawn on a white margin, as one
// image at its natural bitmap size. Drawn by our code, so no image files ship.

#include <QImage>
#include <QMargins>
#include <QSize>
#include <QString>

namespace snipwell::qt {

struct ButtonFace {
    QString text;
    QSize bitmapSize;
    // White space around the drawn button inside the bitmap.
    QMargins margin;
};

inline constexpr QRgb kFaceOutline = qRgb(0, 60, 116);
inline constexpr QRgb kFaceTop = qRgb(252, 252, 251);
inline constexpr QRgb kFaceBottom = qRgb(214, 208, 197);

// The button's own rectangle inside the bitmap: the bitmap less its margin.
QRect buttonRect(const ButtonFace& face);

QImage drawButtonFace(const ButtonFace& face);

}  // namespace snipwell::qt
