#include "app/qt/face_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace snipwell::qt {

FaceButton::FaceButton(const ButtonFace& face, QWidget* parent)
    : QWidget(parent), face_(drawButtonFace(face)), button_(buttonRect(face)) {
    setAccessibleName(face.text);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Tab reaches it; a click does not take the focus, as the face never changes.
    setFocusPolicy(Qt::TabFocus);
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn from the top-left at natural size; what lies beyond the control
    // is white margin and is cut off.
    painter.drawImage(QPoint(0, 0), face_);
    if (showFocusCue_ && hasFocus()) {
        QPen dotted(Qt::black, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(button_.adjusted(2, 2, -3, -3));
    }
}

void FaceButton::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = event->button() == Qt::LeftButton;
}

// A click is a press and a release of the left button over the control.
void FaceButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedInside_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click && isEnabled()) emit clicked();
}

void FaceButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        if (isEnabled()) emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FaceButton::focusInEvent(QFocusEvent* event) {
    showFocusCue_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void FaceButton::focusOutEvent(QFocusEvent* event) {
    showFocusCue_ = false;
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace snipwell::qt
