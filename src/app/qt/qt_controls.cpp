#include "app/qt/qt_controls.h"

#include <algorithm>
#include <cmath>

#include "app/qt/twips.h"

namespace snipwell::qt {

std::int32_t QtSlider::value() const { return slider_.value(); }
// QSlider::setValue raises no action, so no user move is reported.
void QtSlider::setValue(std::int32_t value) { slider_.setValue(value); }
std::int32_t QtSlider::max() const { return slider_.maximum(); }
void QtSlider::setMax(std::int32_t max) { slider_.setMaximum(max); }
void QtSlider::setEnabled(bool enabled) { slider_.setEnabled(enabled); }

namespace {
// Steps of the shown bar; fine enough for any width it could have.
constexpr int kBarSteps = 10000;
}  // namespace

QtProgressBar::QtProgressBar(QProgressBar& bar) : bar_(bar) {
    bar_.setRange(0, kBarSteps);
    show();
}

void QtProgressBar::setMax(float max) {
    max_ = max;
    show();
}

void QtProgressBar::setValue(float value) {
    value_ = value;
    show();
}

void QtProgressBar::show() {
    const float ratio = max_ > 0.0f ? std::clamp(value_ / max_, 0.0f, 1.0f) : 0.0f;
    bar_.setValue(static_cast<int>(std::lround(ratio * static_cast<float>(kBarSteps))));
}

// Switching on a running timer does not restart its interval.
void QtTimer::setEnabled(bool enabled) {
    if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

std::string QtLabel::caption() const { return label_.text().toStdString(); }
void QtLabel::setCaption(const std::string& caption) {
    label_.setText(QString::fromStdString(caption));
}
void QtLabel::setUnderline(bool underline) {
    QFont font = label_.font();
    font.setUnderline(underline);
    label_.setFont(font);
}

// Window handles are 32-bit on the wire; the two's complement keeps the bits.
std::int32_t QtFrame::nativeHandle() const {
    if (videoHost_.isNull()) {
        QWidget* top = frame_.window();
        top->winId();  // the main window's own native window, the host's parent
        videoHost_ = new QWindow(top->windowHandle());
        videoHost_->setObjectName(QStringLiteral("P.videoHost"));
        videoHost_->setGeometry(QRect(frame_.mapTo(top, QPoint(0, 0)), frame_.size()));
        videoHost_->create();
    }
    const auto handle = static_cast<std::uint32_t>(videoHost_->winId());
    return static_cast<std::int32_t>(handle);
}

std::string QtMainWindow::caption() const { return window_.windowTitle().toStdString(); }
void QtMainWindow::setCaption(const std::string& caption) {
    window_.setWindowTitle(QString::fromStdString(caption));
}
std::int32_t QtMainWindow::left() const { return window_.x() * kTwipsPerPixel; }
std::int32_t QtMainWindow::top() const { return window_.y() * kTwipsPerPixel; }

void QtWebBrowser::navigate(const std::string& address) {
    panel_.navigate(QString::fromStdString(address));
}

}  // namespace snipwell::qt
