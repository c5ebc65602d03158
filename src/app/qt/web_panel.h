#pragma once
// The embedded web panel. The program uses a web engine view; test windows
// get a plain panel, so their binaries never load the web engine (it costs
// about half a second and a few hundred MiB).

#include <functional>

#include <QString>
#include <QWidget>

namespace snipwell::qt {

class WebPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Starts loading the address and returns at once.
    virtual void navigate(const QString& address) = 0;
};

using WebPanelFactory = std::function<WebPanel*(QWidget* parent)>;

}  // namespace snipwell::qt
