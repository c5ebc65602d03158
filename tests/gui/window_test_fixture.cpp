#include "gui/window_test_fixture.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace snipwell::qt::testing {

PlainWebPanel::PlainWebPanel(QWidget* parent) : WebPanel(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

WindowTest::WindowTest() {
    services = std::make_unique<QtWindowServices>(
        [](QWidget* parent) { return new PlainWebPanel(parent); },
        [this](const QUrl& url) {
            openedUrls.push_back(url);
            return openUrlAnswer;
        });
    form = std::make_unique<Form1>(
        *services,
        [this](const char* command, char* reply, std::uint32_t capacity,
               std::uintptr_t) -> std::uint32_t {
            mediaCommands.emplace_back(command);
            if (reply != nullptr && capacity > 0) {
                const std::string text = mediaReply ? mediaReply(command) : std::string();
                const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
                std::copy_n(text.data(), length, reply);
                reply[length] = '\0';
            }
            return mediaCode ? mediaCode(command) : 0;
        },
        files);
    router = std::make_unique<FormEventRouter>(*services, *form);
}

WindowTest::~WindowTest() {
    router.reset();
    form.reset();
    services.reset();
}

void WindowTest::showWindow() {
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
}

void withNextModal(const std::function<void(QWidget& modal)>& action) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    // A dialog that never comes must not leave the poll running into later tests.
    auto triesLeft = std::make_shared<int>(1000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, triesLeft] {
        if (--*triesLeft == 0) {
            poll->deleteLater();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        action(*modal);
    });
    poll->start();
}

void runInsideEventLoop(const std::function<void()>& body) {
    QTimer::singleShot(0, [&body] {
        body();
        QCoreApplication::exit(0);
    });
    QApplication::exec();
}

}  // namespace snipwell::qt::testing
