#pragma once
// The program's web panel: a web engine view filling the panel.

#include "app/qt/web_panel.h"

class QWebEngineView;

namespace snipwell::qt {

class WebEnginePanel final : public WebPanel {
    Q_OBJECT
public:
    explicit WebEnginePanel(QWidget* parent);
    void navigate(const QString& address) override;

private:
    QWebEngineView* view_;
};

}  // namespace snipwell::qt
