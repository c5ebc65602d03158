#include "app/qt/picture_button_face.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace snipwell::qt {

namespace {

// Corner radius of the outline, in pixels.
constexpr qreal kCornerRadius = 3.0;

QFont faceFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

}  // namespace

QRect buttonRect(const ButtonFace& face) {
    return QRect(QPoint(0, 0), face.bitmapSize).marginsRemoved(face.margin);
}

QImage drawButtonFace(const ButtonFace& face) {
    QImage image(face.bitmapSize, QImage::Format_RGB32);
    image.fill(Qt::white);

    const QRect button = buttonRect(face);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // The outline runs through the centres of the button's edge pixels.
    const QRectF outline = QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(outline, kCornerRadius, kCornerRadius);

    QLinearGradient shading(outline.topLeft(), outline.bottomLeft());
    shading.setColorAt(0.0, QColor(kFaceTop));
    shading.setColorAt(1.0, QColor(kFaceBottom));
    painter.fillPath(path, shading);
    painter.setPen(QPen(QColor(kFaceOutline), 1.0));
    painter.drawPath(path);

    painter.setPen(Qt::black);
    painter.setFont(faceFont());
    painter.drawText(button, Qt::AlignCenter, face.text);
    return image;
}

}  // namespace snipwell::qt
