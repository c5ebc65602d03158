#pragma once
// The handlers' control interfaces, each over its Qt widget.

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>

#include "app/controls.h"
#include "app/qt/face_button.h"
#include "app/qt/group_frame.h"
#include "app/qt/marker_line.h"
#include "app/qt/position_slider.h"
#include "app/qt/web_panel.h"

namespace snipwell::qt {

class QtSlider final : public Slider {
public:
    explicit QtSlider(PositionSlider& slider) : slider_(slider) {}
    std::int32_t value() const override;
    void setValue(std::int32_t value) override;
    std::int32_t max() const override;
    void setMax(std::int32_t max) override;
    void setEnabled(bool enabled) override;

private:
    PositionSlider& slider_;
};

// Max and Value are single precision; the bar shows their ratio.
class QtProgressBar final : public ProgressBar {
public:
    explicit QtProgressBar(QProgressBar& bar);
    float max() const override { return max_; }
    void setMax(float max) override;
    float value() const override { return value_; }
    void setValue(float value) override;

private:
    void show();
    QProgressBar& bar_;
    float max_ = 100.0f;
    float value_ = 0.0f;
};

class QtTimer final : public Timer {
public:
    explicit QtTimer(QTimer& timer) : timer_(timer) {}
    bool enabled() const override { return timer_.isActive(); }
    void setEnabled(bool enabled) override;

private:
    QTimer& timer_;
};

class QtLabel final : public Label {
public:
    explicit QtLabel(QLabel& label) : label_(label) {}
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    void setUnderline(bool underline) override;

private:
    QLabel& label_;
};

class QtLine final : public Line {
public:
    explicit QtLine(MarkerLine& line) : line_(line) {}
    float x1() const override { return line_.x1(); }
    float x2() const override { return line_.x2(); }
    void setX1(float x) override { line_.setX1(x); }
    void setX2(float x) override { line_.setX2(x); }

private:
    MarkerLine& line_;
};

class QtPictureButton final : public PictureButton {
public:
    explicit QtPictureButton(qt::FaceButton& button) : button_(button) {}
    bool enabled() const override { return button_.isEnabled(); }
    void setEnabled(bool enabled) override { button_.setEnabled(enabled); }

private:
    qt::FaceButton& button_;
};

// The media service asks for a native window to host video. The frame gets a
// hidden native child window of the main window, made on first request; the
// frame widget itself stays a plain widget, because a native widget would
// turn all its siblings into native windows too and break the window's
// painting next to the web panel.
class QtFrame final : public Frame {
public:
    explicit QtFrame(GroupFrame& frame) : frame_(frame) {}
    std::int32_t nativeHandle() const override;

private:
    GroupFrame& frame_;
    mutable QPointer<QWindow> videoHost_;
};

class QtMainWindow final : public MainWindow {
public:
    explicit QtMainWindow(QWidget& window) : window_(window) {}
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    // In twips, like every position of the layout.
    std::int32_t left() const override;
    std::int32_t top() const override;

private:
    QWidget& window_;
};

class QtWebBrowser final : public WebBrowser {
public:
    explicit QtWebBrowser(WebPanel& panel) : panel_(panel) {}
    void navigate(const std::string& address) override;

private:
    WebPanel& panel_;
};

}  // namespace snipwell::qt
