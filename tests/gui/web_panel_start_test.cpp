// The web panel starts only after the window has painted, in its place and
// with its address, and closing the window before or while it starts ends
// the program at once.

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/qt/deferred_web_panel.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

class WebPanelStart : public ::testing::Test {
protected:
    WebPanelStart() {
        services = std::make_unique<QtWindowServices>(
            [this](QWidget* parent) {
                return new DeferredWebPanel(parent,
                                            [this](QWidget* place) -> WebPanel* {
                                                ++panelsMade;
                                                if (whileStarting) whileStarting();
                                                made = new PlainWebPanel(place);
                                                return made;
                                            },
                                            {[this] {
                                                 prepared.push_back(1);
                                                 if (whilePreparing) whilePreparing();
                                             },
                                             [this] { prepared.push_back(2); }});
            },
            [](const QUrl&) { return false; });
        form = std::make_unique<Form1>(
            *services,
            [this](const char* command, char* reply, std::uint32_t capacity,
                   std::uintptr_t) -> std::uint32_t {
                mediaCommands.emplace_back(command);
                if (reply != nullptr && capacity > 0) reply[0] = '\0';
                return 0;
            },
            files);
        router = std::make_unique<FormEventRouter>(*services, *form);
        router->route(FormEvent::Initialize);
        router->route(FormEvent::Load);
    }
    ~WebPanelStart() override {
        router.reset();
        form.reset();
        services.reset();
    }

    SnipwellWindow& window() { return services->qtWindow(); }
    DeferredWebPanel& deferred() { return static_cast<DeferredWebPanel&>(window().WebBrowser1()); }
    bool sentCloseAll() const {
        return std::find(mediaCommands.begin(), mediaCommands.end(), "close all") !=
               mediaCommands.end();
    }
    // Runs the event loop, as the program does, from showing the window until
    // the program ends; false when it had not ended after `limitMs`.
    bool runUntilTheProgramEnds(int limitMs, const std::function<void()>& rightAfterShow = {}) {
        bool ended = true;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [&] {
            ended = false;
            QCoreApplication::exit(0);
        });
        limit.start(limitMs);
        QTimer::singleShot(0, &window(), [&] {
            window().show();
            if (rightAfterShow) rightAfterShow();
        });
        QApplication::exec();
        return ended;
    }

    std::vector<std::string> mediaCommands;
    int panelsMade = 0;
    PlainWebPanel* made = nullptr;
    std::function<void()> whileStarting;
    std::function<void()> whilePreparing;
    std::vector<int> prepared;
    DiskFiles files;
    std::unique_ptr<QtWindowServices> services;
    std::unique_ptr<Form1> form;
    std::unique_ptr<FormEventRouter> router;
};

TEST_F(WebPanelStart, ThePanelIsMadeAfterTheFirstPaintInItsPlaceWithItsAddress) {
    QTest::qWait(50);
    EXPECT_EQ(panelsMade, 0) << "nothing starts before the window is shown";

    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    QTRY_COMPARE_WITH_TIMEOUT(panelsMade, 1, 10000);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(deferred().panel(), made);
    EXPECT_EQ(prepared, (std::vector<int>{1, 2}))
        << "each preparation once, in order, before the panel";
    EXPECT_TRUE(made->isVisible());
    EXPECT_EQ(QRect(made->mapTo(&window(), QPoint(0, 0)), made->size()), QRect(0, 251, 305, 93))
        << "fills the place of WebBrowser1";
    QTRY_COMPARE_WITH_TIMEOUT(made->addresses.size(), std::size_t{1},
                              10000);  // the address sent at load
    EXPECT_TRUE(made->addresses[0].endsWith(QStringLiteral("/info.php?n=snipwell")));

    // Later addresses go straight to the panel; the panel is made only once.
    window().WebBrowser1().navigate(QStringLiteral("https://example.invalid/"));
    window().update();
    QTest::qWait(50);
    EXPECT_EQ(made->addresses.size(), 2u);
    EXPECT_EQ(panelsMade, 1);
}

TEST_F(WebPanelStart, ClosingBeforeThePanelStartsEndsTheProgramWithoutStartingIt) {
    EXPECT_TRUE(runUntilTheProgramEnds(10000, [this] { window().close(); }));
    QTest::qWait(100);
    deferred().start();  // a start that was already due when the close came
    EXPECT_TRUE(services->ended());
    EXPECT_TRUE(sentCloseAll());
    EXPECT_EQ(panelsMade, 0);
}

TEST_F(WebPanelStart, ClosingWhileThePanelStartsEndsTheProgramAtOnce) {
    // The close arrives while the panel is being made (the web engine pumps
    // events as it starts).
    whileStarting = [this] {
        window().close();
        QCoreApplication::processEvents();
    };
    EXPECT_TRUE(runUntilTheProgramEnds(10000)) << "the event loop left at the close";
    EXPECT_EQ(panelsMade, 1);
    EXPECT_TRUE(services->ended());
    EXPECT_TRUE(sentCloseAll());
    EXPECT_FALSE(window().isVisible());
}

TEST_F(WebPanelStart, ClosingBetweenThePreparationsEndsTheProgramBeforeTheNextStep) {
    whilePreparing = [this] { window().close(); };
    EXPECT_TRUE(runUntilTheProgramEnds(10000));
    QTest::qWait(100);
    EXPECT_EQ(prepared, std::vector<int>{1});
    EXPECT_EQ(panelsMade, 0);
    EXPECT_TRUE(services->ended());
    EXPECT_TRUE(sentCloseAll());
}

}  // namespace
}  // namespace snipwell::qt::testing
