#include "app/qt/qt_window_services.h"

#include <algorithm>

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include "common/runtime_error.h"

namespace snipwell::qt {

namespace {

// The icon is the 0x70 part of the buttons value, the button set its low part.
QMessageBox::Icon iconFor(int buttons) {
    switch (buttons & 0x70) {
        case 16: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case 48: return QMessageBox::Warning;
        case 64: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

constexpr int kYesNoButtons = 4;

}  // namespace

QtWindowServices::QtWindowServices(const WebPanelFactory& makeWebPanel, UrlOpener openUrl)
    : window_(std::make_unique<SnipwellWindow>(makeWebPanel)),
      openUrl_(std::move(openUrl)),
      slider_(window_->H()),
      progressBar_(window_->pb()),
      fileDialog_(*window_, programEnd_),
      T_(window_->T()),
      Timer1_(window_->Timer1()),
      Label1_(window_->Label1()),
      Label3_(window_->Label3()),
      Label4_(window_->Label4()),
      Label7_(window_->Label7()),
      Label9_(window_->Label9()),
      Line1_(window_->Line1()),
      Line2_(window_->Line2()),
      P_(window_->P()),
      mainWindow_(*window_),
      webBrowser_(window_->WebBrowser1()) {
    clock_.start();
    for (int number = 1; number <= 9; ++number) {
        commands_.push_back(std::make_unique<QtPictureButton>(window_->command(number)));
    }
}

QtWindowServices::~QtWindowServices() = default;

PictureButton& QtWindowServices::command(int number) {
    return *commands_.at(static_cast<std::size_t>(number - 1));
}

int QtWindowServices::messageBox(const std::string& text, int buttons, const std::string& title) {
    programEnd_.throwIfEnded();
    QMessageBox box(window_.get());
    box.setWindowTitle(QString::fromStdString(title));
    // File names can hold markup such as "<b>" or "&amp;"; show them as typed.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setIcon(iconFor(buttons));
    const bool yesNo = (buttons & 0x0F) == kYesNoButtons;
    box.setStandardButtons(yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);

    int answer = 0;
    {
        ProgramEnd::ModalScope modal(programEnd_, &box);
        answer = box.exec();
    }
    programEnd_.throwIfEnded();
    switch (answer) {
        case QMessageBox::Yes: return kAnswerYes;
        case QMessageBox::No: return kAnswerNo;
        default: return yesNo ? kAnswerNo : kAnswerOk;
    }
}

void QtWindowServices::openWebAddress(const std::string& address) {
    if (!openUrl_(QUrl(QString::fromStdString(address)))) {
        throw RuntimeError(ErrorKind::ServiceFailure, "could not open " + address);
    }
}

void QtWindowServices::endProgram() {
    if (programEnd_.ended()) return;
    window_->T().stop();
    window_->Timer1().stop();
    window_->hide();
    programEnd_.end();
}

void QtWindowServices::pumpEvents() {
    programEnd_.throwIfEnded();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    programEnd_.throwIfEnded();
}

// One pass of the event loop that may sleep: it handles what is pending, or
// blocks until something arrives. The wake-up timer bounds the sleep.
void QtWindowServices::waitForEvents(std::chrono::milliseconds timeout) {
    programEnd_.throwIfEnded();
    if (timeout.count() <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        QTimer wakeUp;
        wakeUp.setSingleShot(true);
        wakeUp.setTimerType(Qt::PreciseTimer);
        const auto capped =
            std::min<std::chrono::milliseconds::rep>(timeout.count(), 24 * 60 * 60 * 1000);
        wakeUp.start(static_cast<int>(capped));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    programEnd_.throwIfEnded();
}

double QtWindowServices::seconds() { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

}  // namespace snipwell::qt
