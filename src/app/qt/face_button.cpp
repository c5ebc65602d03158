#include "app/qt/face_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace snipwell::qt {

FaceButton::FaceButton(const ButtonFace& face, QWidget* parent)
    : QWidget(parent), face_(drawButtonFace(face)), button_(buttonRect(face)) {
    setAccessibleName(face.text);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Only Tab brings the focus here. A click leaves it to the window (which
    // takes click focus), so Space stays Play/Pause after a button is used.
    setFocusPolicy(Qt::TabFocus);
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn from the top-left at natural size; what lies beyond the control
    // is white margin and is cut off.
    painter.drawImage(QPoint(0, 0), face_);
    // The focus is always shown: a focused button keeps Space for itself.
    if (hasFocus()) {
        QPen dotted(Qt::black, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(button_.adjusted(2, 2, -3, -3));
    }
}

void FaceButton::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = event->button() == Qt::LeftButton;
    // Qt leaves the focus on a control that has it when it is clicked; a
    // click on a button hands it back to the window all the same, as a click
    // on any other button does, so Space is Play/Pause again.
    if (hasFocus()) window()->setFocus(Qt::MouseFocusReason);
}

// A click is a press and a release of the left button over the control.
void FaceButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedInside_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click && isEnabled()) emit clicked();
}

namespace {

// The keys that press a focused button.
bool pressesButton(const QKeyEvent& key) {
    return key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

// A focused button claims its keys before the window's shortcuts see them, so
// Space presses this button rather than Play or Pause.
bool FaceButton::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        pressesButton(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void FaceButton::keyPressEvent(QKeyEvent* event) {
    if (pressesButton(*event)) {
        if (isEnabled()) emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FaceButton::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void FaceButton::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace snipwell::qt
