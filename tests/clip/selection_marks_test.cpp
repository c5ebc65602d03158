#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

class SelectionMarks : public test::FormFixture {
protected:
    // Marks at exact positions of a long pretend track, with the slider where the tick left it.
    void markAt(FormEvent button, std::int32_t positionMs, std::int32_t sliderValue) {
        media.jumpTo(positionMs);
        window.slider.setValue(sliderValue);
        window.raise(button);
    }
    void SetUp() override {
        openTrack("/music/long.mp3", 12 * 3600 * 1000);
        window.raise(FormEvent::Command3Click);  // paused, so positions hold still
    }
};

TEST_F(SelectionMarks, MarksTimesAndLengthFollowThePlayersPosition) {
    struct Case {
        const char* what;
        std::int32_t beginMs, endMs;
        const char* begin;
        const char* end;
        const char* length;
    };
    const Case cases[] = {
        {"ordinary", 61000, 3725400, " 0 : 1 : 1", " 1 : 2 : 5", " 1 : 1 : 4"},
        {"2 ms apart across a second", 1999, 2001, " 0 : 0 : 1", " 0 : 0 : 2", " 0 : 0 : 1"},
        {"equal", 5000, 5000, " 0 : 0 : 5", " 0 : 0 : 5", "0"},
        {"reversed", 9000, 5000, " 0 : 0 : 9", " 0 : 0 : 5", "0"},
        {"past nine hours", 32768000, 40000999, " 9 : 6 : 8", " 11 : 6 : 40", " 2 : 0 : 32"},
    };
    for (const Case& c : cases) {
        markAt(FormEvent::Command5Click, c.beginMs, 0);
        markAt(FormEvent::Command6Click, c.endMs, 0);
        EXPECT_EQ(form.clipBeginMs, c.beginMs) << c.what;
        EXPECT_EQ(form.clipEndMs, c.endMs) << c.what;
        EXPECT_EQ(window.label7.caption(), c.begin) << c.what;
        EXPECT_EQ(window.label9.caption(), c.end) << c.what;
        EXPECT_EQ(window.label3.caption(), c.length) << c.what;
    }
}

TEST_F(SelectionMarks, SelectEndFirstShowsTheEndAsTheLength) {
    markAt(FormEvent::Command6Click, 7500, 0);
    EXPECT_EQ(window.label3.caption(), " 0 : 0 : 7");
    // Select Start again, later, replaces the first mark and recomputes.
    markAt(FormEvent::Command5Click, 2000, 0);
    markAt(FormEvent::Command5Click, 3000, 0);
    EXPECT_EQ(form.clipBeginMs, 3000);
    EXPECT_EQ(window.label3.caption(), " 0 : 0 : 4");
}

TEST_F(SelectionMarks, MarkerLinesFollowTheSliderAtTheirOwnOffsets) {
    struct Case {
        std::int32_t step, value;
        float beginX, endX;
    };
    const Case cases[] = {
        {0, 0, 240, 400},    // before any Open or Play
        {0, 300, 240, 400},  // a scale of 0 pins the lines
        {16, 0, 240, 400},  {16, 245, 4160, 4320}, {1, 3975, 4215, 4375},
    };
    for (const Case& c : cases) {
        form.markerStep = c.step;
        markAt(FormEvent::Command5Click, 1000, c.value);
        markAt(FormEvent::Command6Click, 2000, c.value);
        EXPECT_EQ(window.line1.x1(), c.beginX);
        EXPECT_EQ(window.line1.x2(), c.beginX) << "the line stays vertical";
        EXPECT_EQ(window.line2.x1(), c.endX);
        EXPECT_EQ(window.line2.x2(), c.endX);
    }
}

TEST_F(SelectionMarks, AMarkerBeyond32BitsIsRefusedBeforeAnythingChanges) {
    form.markerStep = 2;
    form.clipBeginMs = 1234;
    window.slider.setValue(2147483600);
    window.raise(FormEvent::Command5Click);
    EXPECT_EQ(form.clipBeginMs, 1234);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_FALSE(window.programEnded());
}

}  // namespace
}  // namespace snipwell
