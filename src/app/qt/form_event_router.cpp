#include "app/qt/form_event_router.h"

#include <cstdio>
#include <exception>

namespace snipwell::qt {

namespace {
constexpr FormEvent kCommandClicks[9] = {
    FormEvent::Command1Click, FormEvent::Command2Click, FormEvent::Command3Click,
    FormEvent::Command4Click, FormEvent::Command5Click, FormEvent::Command6Click,
    FormEvent::Command7Click, FormEvent::Command8Click, FormEvent::Command9Click,
};
}  // namespace

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
}

void FormEventRouter::route(FormEvent event) noexcept {
    try {
        form_.handle(event);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "snipwell: a window event failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "snipwell: a window event failed\n");
    }
}

void FormEventRouter::routeClose() noexcept {
    route(FormEvent::Unload);
    if (!services_.ended()) services_.endProgram();
}

}  // namespace snipwell::qt
