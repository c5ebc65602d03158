#include "app/qt/form_event_router.h"

#include <cstdio>
#include <exception>

#include <QFile>

namespace snipwell::qt {

namespace {
constexpr FormEvent kCommandClicks[9] = {
    FormEvent::Command1Click, FormEvent::Command2Click, FormEvent::Command3Click,
    FormEvent::Command4Click, FormEvent::Command5Click, FormEvent::Command6Click,
    FormEvent::Command7Click, FormEvent::Command8Click, FormEvent::Command9Click,
};
}  // namespace

template <typename Handler>
void FormEventRouter::guard(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "snipwell: a window event failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "snipwell: a window event failed\n");
    }
}

FormEventRouter::FormEventRouter(QtWindowServices& services, Form1& form)
    : QObject(&services.qtWindow()), services_(services), form_(form) {
    SnipwellWindow& window = services.qtWindow();
    for (int number = 1; number <= 9; ++number) {
        const FormEvent click = kCommandClicks[number - 1];
        connect(&window.command(number), &FaceButton::clicked, this,
                [this, click] { route(click); });
    }
    connect(&window.Label1(), &LinkLabel::clicked, this, [this] { route(FormEvent::Label1Click); });
    connect(&window.H(), &PositionSlider::userMoved, this, [this] { route(FormEvent::HUserMove); });
    connect(&window.T(), &QTimer::timeout, this, [this] { route(FormEvent::TTimer); });
    connect(&window.Timer1(), &QTimer::timeout, this, [this] { route(FormEvent::Timer1Timer); });
    connect(&window, &SnipwellWindow::closeRequested, this, &FormEventRouter::routeClose);
    // Queued, so the drop has ended before Open's wait pumps events.
    connect(
        &window, &SnipwellWindow::fileDropped, this,
        [this](const QString& path) { routeOpen(QFile::encodeName(path).toStdString()); },
        Qt::QueuedConnection);
    new KeyboardShortcuts(
        window,
        [this] {
            int button = 1;
            guard([&] { button = form_.playPauseButton(); });
            return button;
        },
        [this](int button) { route(kCommandClicks[button - 1]); });
}

void FormEventRouter::route(FormEvent event) noexcept {
    guard([&] { form_.handle(event); });
}

void FormEventRouter::routeOpen(const std::string& path) noexcept {
    guard([&] { form_.handleOpenRequest(path); });
}

void FormEventRouter::routeClose() noexcept {
    route(FormEvent::Unload);
    if (!services_.ended()) services_.endProgram();
}

}  // namespace snipwell::qt
