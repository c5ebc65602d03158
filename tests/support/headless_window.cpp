#include "support/headless_window.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/runtime_error.h"

namespace snipwell::test {
namespace {

std::string number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

const char* flag(bool value) { return value ? "true" : "false"; }

bool isButtonClick(FormEvent event, int& number) {
    switch (event) {
        case FormEvent::Command1Click: number = 1; return true;
        case FormEvent::Command2Click: number = 2; return true;
        case FormEvent::Command3Click: number = 3; return true;
        case FormEvent::Command4Click: number = 4; return true;
        case FormEvent::Command5Click: number = 5; return true;
        case FormEvent::Command6Click: number = 6; return true;
        case FormEvent::Command7Click: number = 7; return true;
        case FormEvent::Command8Click: number = 8; return true;
        case FormEvent::Command9Click: number = 9; return true;
        default: return false;
    }
}

}  // namespace

void HeadlessSlider::setValue(std::int32_t value) {
    if (refuseValues) throw RuntimeError(ErrorKind::Overflow, "Invalid property value");
    value_ = value;
    window_.record("H.Value=" + std::to_string(value));
}

void HeadlessSlider::setMax(std::int32_t max) {
    max_ = max;
    window_.record("H.Max=" + std::to_string(max));
}

void HeadlessSlider::setEnabled(bool enabled) {
    enabled_ = enabled;
    window_.record(std::string("H.Enabled=") + flag(enabled));
}

void HeadlessProgressBar::setMax(float max) {
    max_ = max;
    window_.record("pb.Max=" + number(static_cast<double>(max)));
}

void HeadlessProgressBar::setValue(float value) {
    value_ = value;
    window_.record("pb.Value=" + number(static_cast<double>(value)));
}

void HeadlessFileDialog::setFilter(const std::string& filter) {
    filter_ = filter;
    window_.record("Cdlg.Filter=" + filter);
}

void HeadlessFileDialog::setFileName(const std::string& fileName) {
    fileName_ = fileName;
    window_.record("Cdlg.FileName=" + fileName);
}

void HeadlessFileDialog::setDialogTitle(const std::string& title) {
    title_ = title;
    window_.record("Cdlg.DialogTitle=" + title);
}

void HeadlessFileDialog::show(bool save) {
    shown.push_back({save, filter_, title_, fileName_, flags_, filterIndex_});
    window_.record(save ? "Cdlg.ShowSave" : "Cdlg.ShowOpen");
    if (whileShown) whileShown();
    window_.throwIfEnded();
    DialogAnswer answer = DialogAnswer::cancel();
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    if (answer.cancelled) throw RuntimeError(ErrorKind::DialogCancelled, "Cancel was selected");
    fileName_ = answer.path;
    if (answer.filterIndex != 0) filterIndex_ = answer.filterIndex;
}

void HeadlessTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    window_.record(name_ + ".Enabled=" + flag(enabled));
}

void HeadlessLabel::setCaption(const std::string& caption) {
    caption_ = caption;
    window_.record(name_ + "=" + caption);
}

void HeadlessLabel::setUnderline(bool underline) {
    underline_ = underline;
    window_.record(name_ + ".Underline=" + flag(underline));
}

void HeadlessLine::setX1(float x) {
    x1_ = x;
    window_.record(name_ + ".X1=" + number(static_cast<double>(x)));
}

void HeadlessLine::setX2(float x) {
    x2_ = x;
    window_.record(name_ + ".X2=" + number(static_cast<double>(x)));
}

void HeadlessButton::setEnabled(bool enabled) {
    enabled_ = enabled;
    window_.record(name_ + ".Enabled=" + flag(enabled));
}

void HeadlessMainWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    window_.record("Caption=" + caption);
}

HeadlessWindow::HeadlessWindow() {
    buttons.reserve(9);
    for (int n = 1; n <= 9; ++n) buttons.emplace_back(*this, "Command" + std::to_string(n));
}

Form1& HeadlessWindow::form() {
    if (form_ == nullptr) throw std::logic_error("HeadlessWindow: attach(form) first");
    return *form_;
}

PictureButton& HeadlessWindow::command(int number) {
    return buttons.at(static_cast<std::size_t>(number - 1));
}

void HeadlessWindow::at(double atSeconds, std::function<void()> action) {
    schedule_.push_back({atSeconds, std::move(action)});
}

void HeadlessWindow::raise(FormEvent event) {
    int number = 0;
    if (isButtonClick(event, number) && !command(number).enabled()) return;
    if (event == FormEvent::HUserMove && !slider.enabled()) return;
    form().handle(event);
}

int HeadlessWindow::messageBox(const std::string& text, int buttonsValue,
                               const std::string& title) {
    messages.push_back({text, buttonsValue, title});
    record("MsgBox=" + text);
    if (whileMessageShown) whileMessageShown(messages.back());
    throwIfEnded();
    if (!messageAnswers.empty()) {
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    return buttonsValue == kYesNoInformation ? kAnswerNo : kAnswerOk;
}

void HeadlessWindow::openWebAddress(const std::string& address) {
    if (browserMissing) throw RuntimeError(ErrorKind::ServiceFailure, "no web browser");
    openedAddresses.push_back(address);
}

void HeadlessWindow::throwIfEnded() const {
    if (ended_) throw ProgramEnded{};
}

std::optional<double> HeadlessWindow::nextDue() const {
    std::optional<double> due;
    for (const auto& item : schedule_) {
        if (!due || item.at < *due) due = item.at;
    }
    if (timerTicks && positionTimer.enabled() && form_ != nullptr) {
        if (!due || nextTick_ < *due) due = nextTick_;
    }
    return due;
}

void HeadlessWindow::runDue() {
    // Actions scheduled for now or earlier, oldest first; an action may
    // schedule more or pump again, so take one at a time.
    for (;;) {
        auto due = std::find_if(schedule_.begin(), schedule_.end(),
                                [&](const Scheduled& item) { return item.at <= now_; });
        if (due == schedule_.end()) break;
        auto action = std::move(due->action);
        schedule_.erase(due);
        action();
        throwIfEnded();
    }
    if (timerTicks && form_ != nullptr) {
        if (!positionTimer.enabled()) {
            nextTick_ = now_ + 1.0;
        } else if (nextTick_ <= now_) {
            nextTick_ = now_ + 1.0;
            raise(FormEvent::TTimer);
            throwIfEnded();
        }
    }
}

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void HeadlessWindow::useRealTime() {
    realTime_ = true;
    now_ = steadySeconds();
    nextTick_ = now_ + 1.0;
}

double HeadlessWindow::seconds() {
    if (realTime_) now_ = steadySeconds();
    return now_;
}

void HeadlessWindow::pumpEvents() {
    ++pumps;
    throwIfEnded();
    if (realTime_) {
        now_ = steadySeconds();
    } else {
        now_ += pumpCostSeconds;
    }
    runDue();
}

void HeadlessWindow::waitForEvents(std::chrono::milliseconds timeout) {
    ++waits;
    throwIfEnded();
    const double until = seconds() + static_cast<double>(timeout.count()) / 1000.0;
    const auto due = nextDue();
    const double wakeAt = (due && *due < until) ? std::max(now_, *due) : until;
    if (realTime_) {
        std::this_thread::sleep_for(std::chrono::duration<double>(wakeAt - now_));
        now_ = steadySeconds();
    } else {
        now_ = wakeAt;
    }
    runDue();
}

}  // namespace snipwell::test
