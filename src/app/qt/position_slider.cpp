#include "app/qt/position_slider.h"

#include <QGuiApplication>
#include <QTimer>

namespace snipwell::qt {

PositionSlider::PositionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setValue(0);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &PositionSlider::onAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &PositionSlider::userMoved);
}

// Every action comes from the person: keys, Page Up/Down, clicks on the
// groove and the wheel (which Qt reports as SliderMove). The program's own
// setValue() raises none. actionTriggered comes before the slider takes its
// new value, so the move is reported from the event loop, right after.
// While a mouse button holds the thumb (a drag, or a click that sets the
// thumb where it lands) the move is reported once, at the release, so a drag
// seeks once and not at every pixel.
void PositionSlider::onAction(int action) {
    if (action == QAbstractSlider::SliderNoAction) return;
    if (action == QAbstractSlider::SliderMove &&
        (isSliderDown() || QGuiApplication::mouseButtons() != Qt::NoButton)) {
        return;
    }
    QTimer::singleShot(0, this, &PositionSlider::userMoved);
}

}  // namespace snipwell::qt
