// The window on the desktop: a file dropped on it or named at start opens and
// plays, and each key presses its button, wherever the focus is, and nothing
// while that button is disabled.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

using Strings = std::vector<std::string>;

// What pressing a button or its key did: the media commands, the modal
// windows that came up (each closed with Escape), and the clip's captions.
struct Effect {
    Strings commands;
    std::vector<QString> modals;
    QString begin, end;
    bool operator==(const Effect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Effect& effect) {
    for (const auto& command : effect.commands) out << "[" << command << "] ";
    for (const auto& modal : effect.modals) out << "{" << modal.toStdString() << "} ";
    return out << "begin " << effect.begin.toStdString() << ", end " << effect.end.toStdString();
}

class Desktop : public WindowTest {
protected:
    void SetUp() override {
        mediaReply = [this](const std::string& command) -> std::string {
            if (command == "status movie mode") return playing ? "playing" : "stopped";
            if (command == "status movie length") return "245000";
            if (command == "status movie position") return "61000";
            return {};
        };
        showWindow();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    Effect effectOf(const std::function<void()>& press) {
        mediaCommands.clear();
        services->Label7().setCaption("");
        services->Label9().setCaption("");
        Effect effect;
        // Any modal the press brings up is noted and closed.
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) return;
            effect.modals.push_back(QString::fromLatin1(modal->metaObject()->className()));
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        closer.start();
        press();
        QTest::qWait(30);
        effect.commands = mediaCommands;
        effect.begin = window().Label7().text();
        effect.end = window().Label9().text();
        return effect;
    }

    void clickButton(int number) {
        QTest::mouseClick(&window().command(number), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, 10));
    }

    void pressKey(QWidget& focus, const QKeySequence& keys) {
        focus.setFocus(Qt::OtherFocusReason);
        const QKeyCombination combination = keys[0];
        QTest::keyClick(&focus, combination.key(), combination.keyboardModifiers());
    }

    // What the keys press, and the focus they are pressed in.
    struct KeyCase {
        const char* keys;
        int button;
        bool playing;
    };
    const std::vector<KeyCase> keyCases = {
        {"Ctrl+O", 4, false}, {"Space", 1, false}, {"Space", 3, true}, {"S", 2, false},
        {"I", 5, false},      {"O", 6, false},     {"P", 9, false},    {"Ctrl+S", 7, false},
    };
    bool playing = false;
};

TEST_F(Desktop, EachKeyDoesWhatItsButtonDoesWhereverTheFocusIs) {
    for (const char* focusName : {"H", "Command8", "WebBrowser1"}) {
        QWidget* focus = control(focusName);
        ASSERT_NE(focus, nullptr) << focusName;
        for (const KeyCase& c : keyCases) {
            SCOPED_TRACE(std::string(c.keys) + " with the focus on " + focusName);
            playing = c.playing;
            const Effect byButton = effectOf([&] { clickButton(c.button); });
            const Effect byKey = effectOf([&] { pressKey(*focus, QKeySequence(c.keys)); });
            EXPECT_EQ(byKey, byButton);
            EXPECT_FALSE(byKey.commands.empty() && byKey.modals.empty()) << "the key did something";
        }
    }
}

TEST_F(Desktop, KeysDoNothingWhileTheirButtonsAreLockedBySaving) {
    for (const int number : {1, 2, 3, 4, 5, 6, 7, 9}) services->command(number).setEnabled(false);
    services->H().setEnabled(false);
    for (const KeyCase& c : keyCases) {
        SCOPED_TRACE(c.keys);
        playing = c.playing;
        const Effect byKey = effectOf([&] { pressKey(window().command(8), QKeySequence(c.keys)); });
        EXPECT_EQ(byKey, Effect{}) << byKey;
    }
}

TEST_F(Desktop, SpaceOnAFocusedButtonPressesThatButton) {
    QWidget& stop = window().command(2);
    stop.setFocus(Qt::TabFocusReason);
    const Effect bySpace = effectOf([&] { QTest::keyClick(&stop, Qt::Key_Space); });
    const Effect byClick = effectOf([&] { clickButton(2); });
    EXPECT_EQ(bySpace, byClick);
    EXPECT_NE(std::find(bySpace.commands.begin(), bySpace.commands.end(), "stop movie"),
              bySpace.commands.end());
    EXPECT_EQ(std::find(bySpace.commands.begin(), bySpace.commands.end(), "play movie"),
              bySpace.commands.end());
}

// Drags carry file names as URLs; only a local *.mp3 is taken, and only while
// Open is enabled.
TEST_F(Desktop, AnMp3DroppedOnTheWindowOpensAndPlays) {
    struct Case {
        const char* what;
        QUrl url;
        bool openEnabled;
        bool taken;
    };
    const Case cases[] = {
        {"an mp3", QUrl::fromLocalFile(QStringLiteral("/music/song.mp3")), true, true},
        {"an MP3 in capitals", QUrl::fromLocalFile(QStringLiteral("/music/LOUD.MP3")), true, true},
        {"another kind of file", QUrl::fromLocalFile(QStringLiteral("/music/song.wav")), true,
         false},
        {"a web address", QUrl(QStringLiteral("https://example.org/song.mp3")), true, false},
        {"an mp3 during a save", QUrl::fromLocalFile(QStringLiteral("/music/song.mp3")), false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services->command(4).setEnabled(c.openEnabled);
        mediaCommands.clear();
        QMimeData data;
        data.setUrls({c.url});
        const QPoint over(150, 250);
        QDragEnterEvent enter(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        QDropEvent drop(QPointF(over), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window(), &drop);
        QTest::qWait(700);  // Open's wait of half a second

        const std::string open =
            "open \"" + c.url.toLocalFile().toStdString() + "\" type mpegvideo alias movie parent ";
        const bool opened =
            std::any_of(mediaCommands.begin(), mediaCommands.end(),
                        [&](const std::string& m) { return m.rfind(open, 0) == 0; });
        EXPECT_EQ(opened && !c.url.toLocalFile().isEmpty(), c.taken);
        EXPECT_EQ(std::count(mediaCommands.begin(), mediaCommands.end(), "play movie"),
                  c.taken ? 1 : 0);
    }
    services->command(4).setEnabled(true);
}

TEST_F(Desktop, AFileNamedAtStartPlaysWithoutAClick) {
    router->routeOpen("/music/song.mp3");

    EXPECT_NE(std::find(mediaCommands.begin(), mediaCommands.end(),
                        "open \"/music/song.mp3\" type mpegvideo alias movie parent " +
                            std::to_string(services->P().nativeHandle()) + " style child "),
              mediaCommands.end());
    EXPECT_NE(std::find(mediaCommands.begin(), mediaCommands.end(), "play movie"),
              mediaCommands.end());
    EXPECT_EQ(form->sourceFile, "/music/song.mp3");
    EXPECT_TRUE(window().T().isActive());
    EXPECT_EQ(window().H().maximum(), 245);
}

}  // namespace
}  // namespace snipwell::qt::testing
