#pragma once
// The web panel as the window holds it: it takes its place, size and address
// at once, but makes the real panel inside itself only after the window has
// painted, so starting the web engine never delays the first sight of the
// window. An address sent before then is handed on when the panel exists.

#include <QPointer>

#include "app/qt/web_panel.h"

namespace snipwell::qt {

class DeferredWebPanel final : public WebPanel {
    Q_OBJECT
public:
    // `makePanel` makes the real panel, or returns nullptr when it cannot;
    // the place then stays empty.
    DeferredWebPanel(QWidget* parent, WebPanelFactory makePanel);

    void navigate(const QString& address) override;

    // Makes the real panel now, unless it exists, was tried already, or the
    // window has been closed. Called by itself after the first paint.
    void start();

    // The real panel, once made.
    WebPanel* panel() const { return panel_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WebPanelFactory makePanel_;
    QPointer<WebPanel> panel_;
    QString pendingAddress_;
    bool startScheduled_ = false;
    bool started_ = false;
};

}  // namespace snipwell::qt
