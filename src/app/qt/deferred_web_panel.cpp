#include "app/qt/deferred_web_panel.h"

#include <utility>

#include <QTimer>
#include <QVBoxLayout>

namespace snipwell::qt {

DeferredWebPanel::DeferredWebPanel(QWidget* parent, WebPanelFactory makePanel)
    : WebPanel(parent), makePanel_(std::move(makePanel)) {
    setFocusPolicy(Qt::StrongFocus);
    setLayout(new QVBoxLayout);
    layout()->setContentsMargins(0, 0, 0, 0);
}

void DeferredWebPanel::navigate(const QString& address) {
    if (WebPanel* panel = panel_.data()) {
        panel->navigate(address);
    } else {
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
    started_ = true;
    panel_ = makePanel_ ? makePanel_(this) : nullptr;
    if (panel_ == nullptr) return;
    layout()->addWidget(panel_);
    setFocusProxy(panel_);
    panel_->show();
    if (!pendingAddress_.isEmpty()) panel_->navigate(std::exchange(pendingAddress_, QString()));
}

}  // namespace snipwell::qt
