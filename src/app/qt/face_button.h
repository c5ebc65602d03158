#pragma once
// A picture button on the Qt side: it shows its face and raises clicked().
// It has no pressed or disabled look: a disabled one looks the same and just
// raises no click. The face's text is its accessible name.

#include <QImage>
#include <QWidget>

#include "app/qt/picture_button_face.h"

namespace snipwell::qt {

class FaceButton : public QWidget {
    Q_OBJECT
public:
    FaceButton(const ButtonFace& face, QWidget* parent);

    const QImage& faceImage() const { return face_; }

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage face_;
    QRect button_;
    bool pressedInside_ = false;
};

}  // namespace snipwell::qt
