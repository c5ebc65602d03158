#include "app/qt/window_icon.h"

#include <array>

#include <QPainter>
#include <QPainterPath>

namespace snipwell::qt {

namespace {
// Heights of the bars of the sound strip, left to right.
constexpr std::array<int, 9> kBarHeights{6, 12, 20, 14, 24, 16, 22, 10, 6};
}  // namespace

void paintWindowIcon(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    painter.fillPath(tile, QColor(0, 60, 116));

    // The marked stretch, lighter behind its bars.
    painter.fillRect(QRectF(11, 4, 11, 24), QColor(64, 140, 210));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(252, 252, 251));
    for (std::size_t bar = 0; bar < kBarHeights.size(); ++bar) {
        const int height = kBarHeights[bar];
        const qreal x = 4.0 + 3.0 * static_cast<qreal>(bar);
        painter.drawRect(QRectF(x, 16.0 - height / 2.0, 2.0, height));
    }

    // The begin and end markers.
    painter.setPen(QPen(QColor(0, 200, 0), 1.5));
    painter.drawLine(QPointF(11, 3), QPointF(11, 29));
    painter.setPen(QPen(QColor(255, 210, 0), 1.5));
    painter.drawLine(QPointF(22, 3), QPointF(22, 29));
}

QImage drawWindowIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const qreal scale = static_cast<qreal>(size) / kWindowIconGrid;
    painter.scale(scale, scale);
    paintWindowIcon(painter);
    return image;
}

QIcon makeWindowIcon() { return QIcon(QPixmap::fromImage(drawWindowIconImage())); }

}  // namespace snipwell::qt
