// The window on the desktop: a file dropped on it or named at start opens and
// plays, and each key presses its button, wherever the focus is, and nothing
// while that button is disabled.

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/qt/face_button.h"
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

// Notes every modal window as it shows, before anything can close it.
class ModalWatch : public QObject {
public:
    explicit ModalWatch(std::vector<QString>& shown) : shown_(shown) {
        QApplication::instance()->installEventFilter(this);
    }
    ~ModalWatch() override { QApplication::instance()->removeEventFilter(this); }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget != nullptr && widget->isWindow() &&
            widget->isModal()) {
            shown_.push_back(QString::fromLatin1(widget->metaObject()->className()));
        }
        return false;
    }

private:
    std::vector<QString>& shown_;
};

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
        // A position tick left running by the last press would add its queries.
        window().T().stop();
        mediaCommands.clear();
        services->Label7().setCaption("");
        services->Label9().setCaption("");
        Effect effect;
        // Any modal the press brings up is noted and closed.
        const ModalWatch watch(effect.modals);
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal->isVisible()) QTest::keyClick(modal, Qt::Key_Escape);
        });
        closer.start();
        press();
        QTest::qWait(30);
        // The position timer may tick inside a wait of Play or Stop, or not,
        // by the clock; its queries are not the press's doing.
        for (const std::string& command : mediaCommands) {
            if (command == "status movie position wait" && !effect.commands.empty() &&
                effect.commands.back() == "set movie time format ms") {
                effect.commands.pop_back();
                continue;
            }
            effect.commands.push_back(command);
        }
        effect.begin = window().Label7().text();
        effect.end = window().Label9().text();
        return effect;
    }

    void clickButton(int number) {
        QTest::mouseClick(&window().command(number), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, 10));
    }

    // Keys reach the window's shortcuts only while it is the active window;
    // a dialog that has just closed may have left another one active.
    void pressKey(QWidget& focus, const QKeySequence& keys) {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        focus.setFocus(Qt::OtherFocusReason);
        const QKeyCombination combination = keys[0];
        QTest::keyClick(&focus, combination.key(), combination.keyboardModifiers());
    }

    // Drags carry file names as URLs; the window sees a drag enter, then the drop.
    bool dropOnWindow(const QUrl& url) {
        QMimeData data;
        data.setUrls({url});
        const QPoint over(150, 250);
        QDragEnterEvent enter(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window(), &enter);
        QDropEvent drop(QPointF(over), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window(), &drop);
        return enter.isAccepted();
    }

    // A key typed as a person types it: into whatever has the focus.
    void typeKey(Qt::Key key) {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &window(), key);
    }

    std::size_t countOf(const std::string& command) const {
        return static_cast<std::size_t>(
            std::count(mediaCommands.begin(), mediaCommands.end(), command));
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
            // A focused picture button keeps Space (tested below).
            if (std::string(c.keys) == "Space" && focus->inherits("snipwell::qt::FaceButton")) {
                continue;
            }
            SCOPED_TRACE(std::string(c.keys) + " with the focus on " + focusName);
            playing = c.playing;
            const Effect byButton = effectOf([&] { clickButton(c.button); });
            Effect byKey = effectOf([&] { pressKey(*focus, QKeySequence(c.keys)); });
            // Space first asks whether the track plays.
            if (std::string(c.keys) == "Space") {
                ASSERT_FALSE(byKey.commands.empty());
                EXPECT_EQ(byKey.commands.front(), "status movie mode");
                byKey.commands.erase(byKey.commands.begin());
            }
            EXPECT_EQ(byKey, byButton);
            EXPECT_NE(byKey, Effect{}) << "the key did something";
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
        EXPECT_EQ(dropOnWindow(c.url), c.taken);
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

// No button keeps the focus from the window's start or from a click, so
// Space pauses a track just opened, however it was opened.
TEST_F(Desktop, SpacePausesRightAfterAFileIsOpened) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString song = folder.filePath(QStringLiteral("song.mp3"));
    QFile(song).open(QIODevice::WriteOnly);
    struct Way {
        const char* what;
        std::function<void()> open;
    };
    const Way ways[] = {
        {"named at start", [&] { router->routeOpen(song.toStdString()); }},
        {"dropped", [&] { dropOnWindow(QUrl::fromLocalFile(song)); }},
        {"chosen in the Open dialog",
         [&] {
             withNextModal([&](QWidget& modal) {
                 auto* dialog = qobject_cast<QFileDialog*>(&modal);
                 ASSERT_NE(dialog, nullptr);
                 dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(song);
                 static_cast<QDialog*>(dialog)->accept();
             });
             clickButton(4);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        playing = false;
        mediaCommands.clear();
        way.open();
        QTest::qWait(700);  // Open's wait of half a second
        ASSERT_EQ(countOf("play movie"), 1u) << "the file was opened and plays";
        playing = true;
        mediaCommands.clear();
        typeKey(Qt::Key_Space);
        EXPECT_EQ(countOf("pause movie"), 1u);
        EXPECT_EQ(countOf("play movie"), 0u);
    }
}

// Tab pressed in the window as it first shows lands on the first button,
// which shows its frame and takes Space for itself; a click on a button,
// that one or another, leaves no button with the focus.
TEST_F(Desktop, TabGivesAButtonTheFocusWithAFrameAndAClickTakesItBack) {
    FaceButton& play = window().command(1);
    const QImage resting = play.grab().toImage();
    QTest::keyClick(&window(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &play);
    EXPECT_NE(play.grab().toImage(), resting) << "a focus frame is drawn";

    // While the track plays, Space as a shortcut would pause; on Play it plays.
    playing = true;
    const Effect bySpace =
        effectOf([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); });
    EXPECT_EQ(std::count(bySpace.commands.begin(), bySpace.commands.end(), "play movie"), 1)
        << bySpace;
    EXPECT_EQ(std::count(bySpace.commands.begin(), bySpace.commands.end(), "pause movie"), 0)
        << bySpace;

    for (const int clicked : {1, 5}) {
        SCOPED_TRACE(clicked);
        play.setFocus(Qt::TabFocusReason);
        clickButton(clicked);
        EXPECT_EQ(QApplication::focusWidget(), &window());
        EXPECT_EQ(play.grab().toImage(), resting) << "no frame is left behind";
    }
}

TEST_F(Desktop, PlayPressedRightAfterStopStartsFromTheBeginning) {
    QTimer::singleShot(200, [&] { clickButton(1); });  // inside Stop's wait of a second
    clickButton(2);
    const auto seek = std::find(mediaCommands.begin(), mediaCommands.end(), "seek movie to 0");
    const auto play = std::find(mediaCommands.begin(), mediaCommands.end(), "play movie");
    ASSERT_NE(play, mediaCommands.end());
    EXPECT_LT(seek, play) << "back at the start before Play";
}

TEST_F(Desktop, StopEndsAPreviewForGood) {
    std::int32_t positionMs = 2000;
    mediaReply = [&](const std::string& command) -> std::string {
        if (command == "status movie mode") return "playing";
        if (command == "status movie position wait") return std::to_string(positionMs);
        return {};
    };
    form->clipBeginMs = 1000;
    form->clipEndMs = 5000;
    QTimer::singleShot(100, [&] { clickButton(2); });
    // Only a preview still running could see this; it must not pause.
    QTimer::singleShot(1500, [&] { positionMs = 6000; });
    clickButton(9);
    QTest::qWait(1700);
    EXPECT_EQ(countOf("stop movie"), 1u);
    EXPECT_EQ(countOf("pause movie"), 0u);
}

// A file the media service refuses says so once; nothing plays or polls.
TEST_F(Desktop, ARefusedFileIsNamedWithTheReasonAndTheWindowRests) {
    mediaCode = [](const std::string& command) -> std::uint32_t {
        return command.rfind("open ", 0) == 0 ? 34 : 0;
    };
    std::vector<QString> shown;
    withNextModal([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->text()};
        box->button(QMessageBox::Ok)->click();
    });
    router->routeOpen("/pictures/photo.mp3");
    QTest::qWait(1200);

    EXPECT_EQ(shown, (std::vector<QString>{
                         QStringLiteral("Snipwell 3.4"),
                         QStringLiteral("photo.mp3 cannot be played: it is not an MP3 file.")}));
    EXPECT_EQ(countOf("play movie"), 0u);
    EXPECT_EQ(countOf("status movie position wait"), 0u);
    EXPECT_FALSE(window().T().isActive());
    EXPECT_EQ(window().H().maximum(), 0);
    EXPECT_EQ(window().Label4().text(), QStringLiteral("0"));
}

}  // namespace
}  // namespace snipwell::qt::testing
