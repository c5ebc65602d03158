#pragma once
// A label that raises clicked() when pressed and released over it: the advert
// link, shown with the hand pointer.

#include <QLabel>

namespace snipwell::qt {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressedInside_ = false;
};

}  // namespace snipwell::qt
