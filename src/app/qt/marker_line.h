#pragma once
// A line drawn on the window's surface, one pixel wide, between two points
// given in twips. The marker lines over the slider move by rewriting X1 and X2;
// the widget covers just the line's bounding box and lets the mouse through.

#include <QColor>
#include <QWidget>

namespace snipwell::qt {

class MarkerLine : public QWidget {
    Q_OBJECT
public:
    MarkerLine(float x1, float y1, float x2, float y2, const QColor& colour, QWidget* parent);

    float x1() const { return x1_; }
    float x2() const { return x2_; }
    void setX1(float x);
    void setX2(float x);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();
    // The end points in pixels of the window.
    QPoint start() const;
    QPoint end() const;

    float x1_;
    float y1_;
    float x2_;
    float y2_;
    QColor colour_;
};

}  // namespace snipwell::qt
