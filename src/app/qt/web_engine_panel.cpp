#include "app/qt/web_engine_panel.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace snipwell::qt {

WebEnginePanel::WebEnginePanel(QWidget* parent) : WebPanel(parent), view_(new QWebEngineView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
}

void WebEnginePanel::navigate(const QString& address) { view_->load(QUrl(address)); }

}  // namespace snipwell::qt
