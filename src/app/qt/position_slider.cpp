#include "app/qt/position_slider.h"

#include <QTimer>

namespace snipwell::qt {

PositionSlider::PositionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setValue(0);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &PositionSlider::onAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &PositionSlider::userMoved);
}

// actionTriggered comes before the slider takes its new value, so the move is
// reported from the event loop, right after. Drag steps are reported once, at
// the release, so a drag seeks once and not at every pixel.
void PositionSlider::onAction(int action) {
    if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
    if (isSliderDown()) return;
    QTimer::singleShot(0, this, &PositionSlider::userMoved);
}

}  // namespace snipwell::qt
