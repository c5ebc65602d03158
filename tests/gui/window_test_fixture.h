#pragma once
// A fresh window for each test: the real controls and adapter, a plain web
// panel that records where it was sent, Form1 with a media service that
// records every command, and the router between them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/qt/form_event_router.h"
#include "app/qt/qt_window_services.h"
#include "clip/export/disk_files.h"

namespace snipwell::qt::testing {

class PlainWebPanel final : public WebPanel {
    Q_OBJECT
public:
    explicit PlainWebPanel(QWidget* parent);
    void navigate(const QString& address) override { addresses.push_back(address); }
    std::vector<QString> addresses;
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    SnipwellWindow& window() { return services->qtWindow(); }
    template <typename Widget = QWidget>
    Widget* control(const char* name) {
        return window().findChild<Widget*>(QString::fromLatin1(name));
    }
    void showWindow();

    // Media commands Form1 sent, in order.
    std::vector<std::string> mediaCommands;
    // The reply text the media service gives to a command; empty by default.
    std::function<std::string(const std::string& command)> mediaReply;
    // The code the media service answers a command with; 0 by default.
    std::function<std::uint32_t(const std::string& command)> mediaCode;
    // Addresses handed to the desktop; the opener answers openUrlAnswer.
    std::vector<QUrl> openedUrls;
    bool openUrlAnswer = true;

    DiskFiles files;
    std::unique_ptr<QtWindowServices> services;
    std::unique_ptr<Form1> form;
    std::unique_ptr<FormEventRouter> router;
};

// Runs `action` with the next modal dialog once it is shown.
void withNextModal(const std::function<void(QWidget& modal)>& action);

// Runs `body` inside QApplication::exec(), as the program's handlers run, and
// leaves the loop when it returns. After endProgram() only a fresh exec()
// lets later dialogs run again, so tests that end the program use this.
void runInsideEventLoop(const std::function<void()>& body);

}  // namespace snipwell::qt::testing
