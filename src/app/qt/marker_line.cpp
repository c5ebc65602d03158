#include "app/qt/marker_line.h"

#include <algorithm>

#include <QPainter>

#include "app/qt/twips.h"

namespace snipwell::qt {

MarkerLine::MarkerLine(float x1, float y1, float x2, float y2, const QColor& colour,
                       QWidget* parent)
    : QWidget(parent), x1_(x1), y1_(y1), x2_(x2), y2_(y2), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
}

void MarkerLine::setX1(float x) {
    x1_ = x;
    place();
}

void MarkerLine::setX2(float x) {
    x2_ = x;
    place();
}

QPoint MarkerLine::start() const { return {pixelsFromTwips(x1_), pixelsFromTwips(y1_)}; }
QPoint MarkerLine::end() const { return {pixelsFromTwips(x2_), pixelsFromTwips(y2_)}; }

// The last point is not drawn, so a line of 120 twips covers 8 pixels.
void MarkerLine::place() {
    const QPoint a = start();
    const QPoint b = end();
    const int left = std::min(a.x(), b.x());
    const int top = std::min(a.y(), b.y());
    const int right = std::max(a.x(), b.x());
    const int bottom = std::max(a.y(), b.y());
    const bool vertical = a.x() == b.x();
    setGeometry(left, top, vertical ? 1 : right - left,
                vertical ? bottom - top : std::max(1, bottom - top));
    update();
}

void MarkerLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPoint origin = geometry().topLeft();
    const QPoint a = start() - origin;
    const QPoint b = end() - origin;
    if (a.x() == b.x()) {
        painter.fillRect(rect(), colour_);
        return;
    }
    painter.setPen(QPen(colour_, 0));
    painter.drawLine(a, b);
}

}  // namespace snipwell::qt
