// The position slider seeks when the user moves it and never when the
// program writes its value, so the position tick cannot seek by itself.

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QWheelEvent>

#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

class PositionSliderMoves : public WindowTest {
protected:
    void SetUp() override {
        showWindow();
        services->H().setMax(245);
    }

    // The media commands that name a position in milliseconds.
    std::vector<std::string> seeks() const {
        std::vector<std::string> found;
        std::copy_if(mediaCommands.begin(), mediaCommands.end(), std::back_inserter(found),
                     [](const std::string& c) {
                         return c.find(" from ") != std::string::npos ||
                                c.find("seek") != std::string::npos;
                     });
        return found;
    }

    QRect thumbRect() {
        QStyleOptionSlider option;
        option.initFrom(&window().H());
        option.orientation = Qt::Horizontal;
        option.minimum = window().H().minimum();
        option.maximum = window().H().maximum();
        option.sliderPosition = window().H().sliderPosition();
        option.sliderValue = window().H().value();
        option.subControls = QStyle::SC_SliderHandle;
        return window().H().style()->subControlRect(QStyle::CC_Slider, &option,
                                                    QStyle::SC_SliderHandle, &window().H());
    }
};

TEST_F(PositionSliderMoves, ValueWrittenByTheProgramDoesNotSeek) {
    QSignalSpy moves(&window().H(), &PositionSlider::userMoved);
    for (int second : {1, 61, 200, 0}) services->H().setValue(second);
    QTest::qWait(30);
    EXPECT_EQ(moves.count(), 0);
    EXPECT_TRUE(seeks().empty());
    EXPECT_EQ(services->H().value(), 0);
}

TEST_F(PositionSliderMoves, KeyMoveSeeksToTheNewValue) {
    services->H().setValue(60);
    window().H().setFocus();
    QTest::keyClick(&window().H(), Qt::Key_Right);
    QTest::qWait(30);
    EXPECT_EQ(services->H().value(), 61);
    ASSERT_EQ(seeks().size(), 1u);
    EXPECT_NE(seeks()[0].find("61000"), std::string::npos) << seeks()[0];

    QTest::keyClick(&window().H(), Qt::Key_End);
    QTest::qWait(30);
    ASSERT_EQ(seeks().size(), 2u);
    EXPECT_NE(seeks()[1].find("245000"), std::string::npos) << seeks()[1];
}

TEST_F(PositionSliderMoves, EveryGestureOfThePersonSeeksOnceToTheNewValue) {
    struct Case {
        const char* gesture;
        std::function<void(QSlider&)> perform;
        int expectedValue;  // from 60 of 245
    };
    const auto wheel = [](int delta) {
        return [delta](QSlider& slider) {
            const QPointF at(slider.width() / 2.0, slider.height() / 2.0);
            QWheelEvent event(at, slider.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&slider, &event);
        };
    };
    const auto key = [](Qt::Key k) {
        return [k](QSlider& slider) { QTest::keyClick(&slider, k); };
    };
    const Case cases[] = {
        {"wheel up one notch", wheel(120), 63},  // three single steps per notch
        {"wheel down one notch", wheel(-120), 57}, {"Right", key(Qt::Key_Right), 61},
        {"Left", key(Qt::Key_Left), 59},           {"Page Up", key(Qt::Key_PageUp), 70},
        {"Page Down", key(Qt::Key_PageDown), 50},  {"Home", key(Qt::Key_Home), 0},
    };
    window().H().setPageStep(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gesture);
        services->H().setValue(60);
        mediaCommands.clear();
        window().H().setFocus();
        c.perform(window().H());
        QTest::qWait(30);
        EXPECT_EQ(services->H().value(), c.expectedValue);
        ASSERT_EQ(seeks().size(), 1u);
        EXPECT_EQ(seeks()[0], "seek movie to " + std::to_string(c.expectedValue * 1000));
    }
}

TEST_F(PositionSliderMoves, APositionTickMovesTheThumbWithoutSeeking) {
    mediaReply = [](const std::string& command) {
        return command.rfind("status movie position", 0) == 0 ? std::string("61000")
                                                              : std::string();
    };
    QSignalSpy moves(&window().H(), &PositionSlider::userMoved);
    window().T().setInterval(10);
    window().T().start();
    QTest::qWait(100);
    window().T().stop();
    EXPECT_EQ(services->H().value(), 61) << "the tick moved the thumb";
    EXPECT_EQ(moves.count(), 0);
    EXPECT_TRUE(seeks().empty());
}

TEST_F(PositionSliderMoves, ClickOnTheTrackSeeksOnce) {
    QSignalSpy moves(&window().H(), &PositionSlider::userMoved);
    const QRect thumb = thumbRect();
    QTest::mouseClick(&window().H(), Qt::LeftButton, {},
                      QPoint(window().H().width() - 10, thumb.center().y()));
    QTest::qWait(30);
    EXPECT_GT(services->H().value(), 0);
    EXPECT_EQ(moves.count(), 1);
    ASSERT_EQ(seeks().size(), 1u);
    EXPECT_NE(seeks()[0].find(std::to_string(services->H().value() * 1000)), std::string::npos);
}

TEST_F(PositionSliderMoves, DragSeeksOnceWhenReleased) {
    QSignalSpy moves(&window().H(), &PositionSlider::userMoved);
    const QPoint start = thumbRect().center();
    QTest::mousePress(&window().H(), Qt::LeftButton, {}, start);
    for (int dx = 10; dx <= 100; dx += 10) QTest::mouseMove(&window().H(), start + QPoint(dx, 0));
    EXPECT_EQ(moves.count(), 0);
    QTest::mouseRelease(&window().H(), Qt::LeftButton, {}, start + QPoint(100, 0));
    QTest::qWait(30);
    EXPECT_GT(services->H().value(), 0);
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(seeks().size(), 1u);
}

TEST_F(PositionSliderMoves, DisabledSliderIgnoresTheUser) {
    services->H().setEnabled(false);
    QTest::keyClick(&window().H(), Qt::Key_Right);
    QTest::mouseClick(&window().H(), Qt::LeftButton, {}, QPoint(window().H().width() - 10, 12));
    QTest::qWait(30);
    EXPECT_TRUE(seeks().empty());
}

}  // namespace
}  // namespace snipwell::qt::testing
