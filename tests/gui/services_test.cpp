// The adapter's other services: message boxes, the pump and clock, the
// progress bar, lines, timers, labels, the video frame and web links.

#include <sys/resource.h>

#include <chrono>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/qt/marker_line.h"
#include "common/runtime_error.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

using namespace std::chrono_literals;

class Services : public WindowTest {};

TEST_F(Services, MessageBoxesShowTitleIconButtonsAndAnswer) {
    struct Case {
        int buttons;
        QMessageBox::StandardButtons offered;
        int key;  // pressed in the box
        int answer;
    };
    const Case cases[] = {
        {kOkInformation, QMessageBox::Ok, Qt::Key_Return, kAnswerOk},
        {kYesNoInformation, QMessageBox::Yes | QMessageBox::No, Qt::Key_Y, kAnswerYes},
        {kYesNoInformation, QMessageBox::Yes | QMessageBox::No, Qt::Key_N, kAnswerNo},
        {kYesNoInformation, QMessageBox::Yes | QMessageBox::No, Qt::Key_Escape, kAnswerNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons offered;
        withNextModal([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            if (box == nullptr) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            offered = box->standardButtons();
            if (c.key == Qt::Key_Y)
                box->button(QMessageBox::Yes)->click();
            else if (c.key == Qt::Key_N)
                box->button(QMessageBox::No)->click();
            else
                QTest::keyClick(box, static_cast<Qt::Key>(c.key));
        });
        EXPECT_EQ(services->messageBox("Clip Saved     ", c.buttons, "Snipwell 3.4"), c.answer);
        EXPECT_EQ(title, QStringLiteral("Snipwell 3.4"));
        EXPECT_EQ(text, QStringLiteral("Clip Saved     "));
        EXPECT_EQ(icon, QMessageBox::Information);
        EXPECT_EQ(offered, c.offered);
    }
}

TEST_F(Services, MessageBoxShowsMarkupInItsTextLiterally) {
    for (const char* text :
         {"The clip was not saved: /tmp/<b>bold</b>.mp3", "Tom &amp; Jerry.mp3", "<i>x</i> &lt;"}) {
        SCOPED_TRACE(text);
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        withNextModal([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            if (box == nullptr) return;
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                shown = label->text();
                format = label->textFormat();
            }
            box->button(QMessageBox::Ok)->click();
        });
        services->messageBox(text, kOkInformation, "Snipwell 3.4");
        EXPECT_EQ(shown, QString::fromUtf8(text));
        EXPECT_EQ(format, Qt::PlainText) << "markup in a file name must not be rendered";
    }
}

TEST_F(Services, PumpRunsWhatIsPending) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    services->pumpEvents();
    EXPECT_TRUE(ran);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(Services, WaitSleepsWithoutSpinningAndWakesOnAnEvent) {
    services->Timer1().setEnabled(false);  // its ticks would wake the wait every 100 ms

    const double wallStart = services->seconds();
    const double cpuStart = cpuSeconds();
    while (services->seconds() - wallStart < 0.4) services->waitForEvents(500ms);
    const double cpuUsed = cpuSeconds() - cpuStart;
    EXPECT_LT(cpuUsed, 0.1) << "waiting burnt " << cpuUsed << " s of CPU in 0.4 s";

    bool ran = false;
    QTimer::singleShot(30, [&] { ran = true; });
    const double before = services->seconds();
    while (!ran && services->seconds() - before < 3.0) services->waitForEvents(3000ms);
    EXPECT_TRUE(ran);
    EXPECT_LT(services->seconds() - before, 1.0);

    // The wait ends by its timeout when nothing happens.
    const double quietStart = services->seconds();
    services->waitForEvents(50ms);
    EXPECT_LT(services->seconds() - quietStart, 1.0);
}

TEST_F(Services, ClockCountsSecondsForward) {
    const double start = services->seconds();
    QTest::qWait(120);
    const double elapsed = services->seconds() - start;
    EXPECT_GE(elapsed, 0.11);
    EXPECT_LT(elapsed, 1.0);
}

TEST_F(Services, ProgressBarKeepsFractionsAndShowsTheirRatio) {
    services->pb().setMax(1000.5f);
    services->pb().setValue(250.125f);
    EXPECT_EQ(services->pb().max(), 1000.5f);
    EXPECT_EQ(services->pb().value(), 250.125f);
    const QProgressBar& bar = window().pb();
    EXPECT_NEAR(static_cast<double>(bar.value() - bar.minimum()) / (bar.maximum() - bar.minimum()),
                0.25, 0.001);
    services->pb().setMax(0.0f);  // no division by the empty range
    EXPECT_EQ(window().pb().value(), window().pb().minimum());
}

TEST_F(Services, MarkerLinesMoveToTheirTwipPosition) {
    services->Line1().setX1(1000.0f);
    services->Line1().setX2(1000.0f);
    EXPECT_EQ(window().Line1().geometry(), QRect(67, 32, 1, 8));
    services->Line2().setX1(4215.0f);
    services->Line2().setX2(4215.0f);
    EXPECT_EQ(window().Line2().geometry(), QRect(281, 32, 1, 8));
    EXPECT_EQ(services->Line2().x1(), 4215.0f);
}

TEST_F(Services, TimersLabelsCaptionAndVideoFrame) {
    services->T().setEnabled(true);
    EXPECT_TRUE(window().T().isActive());
    services->T().setEnabled(false);
    EXPECT_FALSE(window().T().isActive());

    services->Label4().setCaption(" 0 : 1 : 5");
    EXPECT_EQ(window().Label4().text(), QStringLiteral(" 0 : 1 : 5"));
    EXPECT_EQ(services->Label4().caption(), " 0 : 1 : 5");
    services->Label1().setUnderline(true);
    EXPECT_TRUE(window().Label1().font().underline());

    services->window().setCaption("Saving");
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Saving"));
    EXPECT_EQ(services->window().left(), window().x() * 15);

    showWindow();
    const std::int32_t handle = services->P().nativeHandle();
    EXPECT_NE(handle, 0);
    EXPECT_EQ(services->P().nativeHandle(), handle);
    EXPECT_FALSE(window().P().isVisible());
    // Handing out the handle must not make the controls native windows:
    // they would stop painting beside the web panel.
    for (const char* name : {"P", "Command1", "H", "WebBrowser1", "Frame1"}) {
        EXPECT_EQ(control(name)->internalWinId(), WId{0}) << name;
    }
}

TEST_F(Services, LoadUnderlinesTheLinkAndNavigatesThePanelOnce) {
    router->route(FormEvent::Initialize);
    router->route(FormEvent::Load);
    EXPECT_TRUE(window().Label1().font().underline());
    auto& panel = static_cast<PlainWebPanel&>(window().WebBrowser1());
    ASSERT_EQ(panel.addresses.size(), 1u);
    EXPECT_TRUE(panel.addresses[0].endsWith(QStringLiteral("/info.php?n=snipwell")));
}

TEST_F(Services, WebAddressThatCannotBeOpenedIsAServiceFailure) {
    services->openWebAddress("https://quorvane.example");
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_EQ(openedUrls[0], QUrl(QStringLiteral("https://quorvane.example")));

    openUrlAnswer = false;
    try {
        services->openWebAddress("https://quorvane.example/redirect.html");
        FAIL() << "a failed opening was reported as done";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ServiceFailure);
    }
}

}  // namespace
}  // namespace snipwell::qt::testing
