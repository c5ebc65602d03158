// Closing the window ends the program at once: "close all" is sent, and a
// handler interrupted inside a wait, a message box or a file dialog never
// takes another step, because each of them throws ProgramEnded on return.

#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "common/runtime_error.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

using namespace std::chrono_literals;

class ProgramEnding : public WindowTest {
protected:
    void SetUp() override { showWindow(); }

    bool sentCloseAll() const {
        return std::find(mediaCommands.begin(), mediaCommands.end(), "close all") !=
               mediaCommands.end();
    }

    // Closes the window as the desktop would, once `delay` has passed.
    void closeWindowAfter(std::chrono::milliseconds delay) {
        QTimer::singleShot(delay, &window(), [this] { window().close(); });
    }
};

TEST_F(ProgramEnding, EveryServiceThatReturnsAfterTheEndThrows) {
    runInsideEventLoop([&] {
        services->endProgram();
        EXPECT_THROW(services->pumpEvents(), ProgramEnded);
        EXPECT_THROW(services->waitForEvents(10ms), ProgramEnded);
        EXPECT_THROW(services->messageBox("x", kOkInformation, "Snipwell 3.4"), ProgramEnded);
        EXPECT_THROW(services->Cdlg().showOpen(), ProgramEnded);
        EXPECT_THROW(services->Cdlg().showSave(), ProgramEnded);
        EXPECT_FALSE(window().isVisible());
        EXPECT_FALSE(window().T().isActive());
    });
}

TEST_F(ProgramEnding, CloseInsideAWaitUnwindsTheWaitingLoop) {
    int stepsAfterClose = 0;
    bool unwound = false;
    runInsideEventLoop([&] {
        closeWindowAfter(50ms);
        try {
            const double start = services->seconds();
            while (services->seconds() - start < 5.0) {
                services->waitForEvents(100ms);
                if (form->ended()) ++stepsAfterClose;
            }
        } catch (const ProgramEnded&) {
            unwound = true;
        }
    });
    EXPECT_TRUE(unwound);
    EXPECT_EQ(stepsAfterClose, 0);
    EXPECT_TRUE(sentCloseAll());
    EXPECT_TRUE(form->ended());
    EXPECT_FALSE(window().isVisible());
}

TEST_F(ProgramEnding, CloseWhileAMessageBoxIsOpenClosesItAndEnds) {
    bool boxSeen = false;
    bool unwound = false;
    runInsideEventLoop([&] {
        withNextModal([&](QWidget& modal) {
            boxSeen = qobject_cast<QMessageBox*>(&modal) != nullptr;
            window().close();
        });
        try {
            services->messageBox("Overwrite?", kYesNoInformation, "Snipwell 3.4");
        } catch (const ProgramEnded&) {
            unwound = true;
        }
    });
    EXPECT_TRUE(unwound);
    EXPECT_TRUE(sentCloseAll());
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ProgramEnding, CloseWhileTheFileDialogIsOpenClosesItAndEnds) {
    bool unwound = false;
    bool dialogSeen = false;
    runInsideEventLoop([&] {
        withNextModal([&](QWidget& modal) {
            dialogSeen = qobject_cast<QFileDialog*>(&modal) != nullptr;
            window().close();
        });
        try {
            services->Cdlg().showOpen();
        } catch (const ProgramEnded&) {
            unwound = true;
        } catch (const RuntimeError&) {
            ADD_FAILURE() << "the end of the program came back as a cancel";
        }
    });
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(unwound);
    EXPECT_TRUE(sentCloseAll());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ProgramEnding, EventsAfterTheEndReachNoHandler) {
    runInsideEventLoop([&] { window().close(); });
    const std::size_t commandsAtEnd = mediaCommands.size();
    router->route(FormEvent::Command2Click);
    router->route(FormEvent::TTimer);
    QTest::mouseClick(&window().command(1), Qt::LeftButton);
    EXPECT_EQ(mediaCommands.size(), commandsAtEnd);
}

}  // namespace
}  // namespace snipwell::qt::testing
