#pragma once
// Turns what happens in the window (clicks, keys, slider moves, timer ticks,
// a dropped file, the close) into events of Form1. Form1::handle catches what the handlers throw;
// anything else is stopped here too, so no exception crosses Qt's frames.

#include <QObject>

#include "app/form1.h"
#include "app/qt/keyboard_shortcuts.h"
#include "app/qt/qt_window_services.h"

namespace snipwell::qt {

class FormEventRouter : public QObject {
    Q_OBJECT
public:
    FormEventRouter(QtWindowServices& services, Form1& form);

    void route(FormEvent event) noexcept;
    // Opens `path` as Open does after its dialog (a file named at start).
    void routeOpen(const std::string& path) noexcept;

private:
    // The close is never refused: after Unload the program has ended, even
    // if the unload handler could not say so itself.
    void routeClose() noexcept;

    template <typename Handler>
    void guard(Handler&& handler) noexcept;

    QtWindowServices& services_;
    Form1& form_;
};

}  // namespace snipwell::qt
