#include "app/qt/deferred_web_panel.h"

#include <utility>

#include <QTimer>
#include <QVBoxLayout>

namespace snipwell::qt {

DeferredWebPanel::DeferredWebPanel(QWidget* parent, WebPanelFactory makePanel,
                                   std::vector<Preparation> preparations)
    : WebPanel(parent), makePanel_(std::move(makePanel)), preparations_(std::move(preparations)) {
    setFocusPolicy(Qt::StrongFocus);
    setLayout(new QVBoxLayout);
    layout()->setContentsMargins(0, 0, 0, 0);
}

void DeferredWebPanel::navigate(const QString& address) {
    WebPanel* panel = panel_.data();
    if (panel != nullptr && pendingAddress_.isEmpty()) {
        panel->navigate(address);
    } else {
        // The newest address wins, as in a browser.
        pendingAddress_ = address;
    }
}

// The panel is painted with the rest of the window; the timer fires once
// that paint has reached the screen and the event loop is free again.
void DeferredWebPanel::paintEvent(QPaintEvent* event) {
    WebPanel::paintEvent(event);
    if (startScheduled_) return;
    startScheduled_ = true;
    QTimer::singleShot(0, this, &DeferredWebPanel::start);
}

void DeferredWebPanel::start() {
    // A window closed before its panel started needs no panel.
    if (started_ || !window()->isVisible()) return;
    if (preparationsDone_ < preparations_.size()) {
        preparations_[preparationsDone_++]();
        QTimer::singleShot(0, this, &DeferredWebPanel::start);
        return;
    }
    started_ = true;
    panel_ = makePanel_ ? makePanel_(this) : nullptr;
    WebPanel* panel = panel_.data();
    if (panel == nullptr) return;
    layout()->addWidget(panel);
    setFocusProxy(panel);
    panel->show();
    navigateSoon();
}

// Loading the first page starts the engine itself, the longest step; a close
// that came meanwhile is handled first and ends the program without it.
void DeferredWebPanel::navigateSoon() {
    QTimer::singleShot(0, this, [this] {
        WebPanel* panel = panel_.data();
        if (panel == nullptr || !window()->isVisible() || pendingAddress_.isEmpty()) return;
        panel->navigate(std::exchange(pendingAddress_, QString()));
    });
}

}  // namespace snipwell::qt
