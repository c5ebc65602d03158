#include "app/qt/hand_cursor.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace snipwell::qt {

namespace {

constexpr int kSize = 32;
// The tip of the index finger is the point that clicks.
constexpr int kHotX = 9;
constexpr int kHotY = 1;

QPainterPath roundedPart(qreal x, qreal y, qreal w, qreal h, qreal radius) {
    QPainterPath part;
    part.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return part;
}

QPainterPath handOutline() {
    QPainterPath hand = roundedPart(7, 1, 5, 17, 2.5);  // index finger, up
    hand = hand.united(roundedPart(11, 10, 4, 9, 2));   // folded middle finger
    hand = hand.united(roundedPart(14, 11, 4, 9, 2));   // ring finger
    hand = hand.united(roundedPart(17, 12, 4, 9, 2));   // little finger
    hand = hand.united(roundedPart(7, 15, 14, 11, 3));  // palm
    hand = hand.united(roundedPart(9, 24, 11, 6, 1));   // wrist
    QPainterPath thumb;
    thumb.addPolygon(QPolygonF({QPointF(8, 18), QPointF(4, 14), QPointF(2, 14), QPointF(2, 16),
                                QPointF(8, 25), QPointF(8, 18)}));
    return hand.united(thumb).simplified();
}

}  // namespace

QImage drawHandImage() {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(handOutline());
    return image;
}

// Two colours and a mask: a set bit of the bitmap is black, a set bit of the
// mask is opaque, so white is (0, 1) and transparent is (0, 0).
QCursor makeHandCursor() {
    const QImage hand = drawHandImage();
    QImage shape(kSize, kSize, QImage::Format_MonoLSB);
    QImage mask(kSize, kSize, QImage::Format_MonoLSB);
    shape.fill(0);
    mask.fill(0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const QRgb pixel = hand.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            mask.setPixel(x, y, 1);
            if (qGray(pixel) < 128) shape.setPixel(x, y, 1);
        }
    }
    return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), kHotX, kHotY);
}

}  // namespace snipwell::qt
