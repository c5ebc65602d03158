#pragma once
// The position slider. userMoved() is raised after the user has moved the
// thumb (a drag released, a click on the track, a key or the wheel), once the
// new value is in place; a value written by the program never raises it.

#include <QSlider>

namespace snipwell::qt {

class PositionSlider : public QSlider {
    Q_OBJECT
public:
    explicit PositionSlider(QWidget* parent);

signals:
    void userMoved();

private:
    void onAction(int action);
};

}  // namespace snipwell::qt
