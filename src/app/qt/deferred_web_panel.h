#pragma once
// The web panel as the window holds it: it takes its place, size and address
// at once, but makes the real panel inside itself only after the window has
// painted, so starting the web engine never delays the first sight of the
// window. An address sent before then is handed on when the panel exists.

#include <functional>
#include <vector>

#include <QPointer>

#include "app/qt/web_panel.h"

namespace snipwell::qt {

class DeferredWebPanel final : public WebPanel {
    Q_OBJECT
public:
    // Steps that prepare the making of the panel; each runs in a turn of the
    // event loop of its own, so a close between them is handled at once.
    using Preparation = std::function<void()>;

    // `makePanel` makes the real panel, or returns nullptr when it cannot;
    // the place then stays empty. The preparations run first, in order.
    DeferredWebPanel(QWidget* parent, WebPanelFactory makePanel,
                     std::vector<Preparation> preparations = {});

    void navigate(const QString& address) override;

    // Takes the next step towards the real panel (a preparation, or the
    // making of the panel itself), unless the panel was made already or the
    // window has been closed. Called by itself after the first paint, and
    // again after each preparation.
    void start();

    // The real panel, once made.
    WebPanel* panel() const { return panel_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void navigateSoon();

    WebPanelFactory makePanel_;
    std::vector<Preparation> preparations_;
    std::size_t preparationsDone_ = 0;
    QPointer<WebPanel> panel_;
    QString pendingAddress_;
    bool startScheduled_ = false;
    bool started_ = false;
};

}  // namespace snipwell::qt
