#pragma once
// The program's web panel: a web engine view shown over the panel's place.
// The view comes from the web view module, loaded on first use. It draws
// through OpenGL, so it lives in a native window of its own, a child of the
// main window's: the main window stays a plain window that paints at once and
// never has to be made anew. Where the module cannot be loaded the panel
// stays empty; the rest of the window does not depend on it.

#include <QPointer>

#include "app/qt/web_panel.h"

namespace snipwell::qt {

class WebEnginePanel final : public WebPanel {
    Q_OBJECT
public:
    // The steps before the first panel, each short: the shared OpenGL
    // context, then the web view module. A failure is told on stderr once.
    static void makeSharedOpenGLContext();
    static void loadModule();
    // Loads what is not loaded yet; returns nullptr when the web engine
    // cannot be had.
    static WebEnginePanel* create(QWidget* parent);
    ~WebEnginePanel() override;

    void navigate(const QString& address) override;

protected:
    bool event(QEvent* event) override;

private:
    using LoadView = void (*)(QWidget* view, const char* utf8Address);
    WebEnginePanel(QWidget* parent, QWidget* view, LoadView load);
    // Puts the view's window over this panel, inside the main window.
    void placeView();

    QPointer<QWidget> view_;
    LoadView load_;
};

}  // namespace snipwell::qt
