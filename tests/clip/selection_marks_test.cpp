#include <gtest/gtest.h>

#include <string>

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

// The slider spans 120 to 4335 twips; the begin line runs from 240 at the
// thumb's start to 120 short of the slider's end at its last second, the end
// line 160 twips to the right of it, on tracks of every length.
TEST_F(SelectionMarks, MarkerLinesStandAtTheThumbsShareOfTheSlider) {
    constexpr float kSliderLeft = 120;
    constexpr float kSliderWidth = 4215;
    constexpr float kTravelEnd = kSliderLeft + kSliderWidth - 120;  // 4215
    struct Case {
        const char* track;
        std::int32_t max, value;
        float beginX;
    };
    const Case cases[] = {
        {"30 s", 30, 0, 240},
        {"30 s", 30, 10, 1565},  // 1325 twips, a third of the way
        {"30 s", 30, 30, kTravelEnd},
        {"3 min", 180, 1, 262},  // 22.08 rounds down
        {"3 min", 180, 60, 1565},
        {"3 min", 180, 180, kTravelEnd},
        {"33 min", 1980, 990, 2228},  // 1987.5: a tie, to the even 1988
        {"33 min", 1980, 1980, kTravelEnd},
        {"66 min", 3960, 3960, kTravelEnd},
        {"66 min 16 s", 3976, 1, 241},  // the scale of whole twips was 0 here
        {"66 min 16 s", 3976, 3976, kTravelEnd},
        {"2 h 12 min 30 s", 7950, 1, 240},  // 0.5: a tie, to the even 0
        {"2 h 12 min 30 s", 7950, 3, 242},  // 1.5: a tie, to the even 2
        {"9 h", 32400, 8100, 1234},         // 993.75 rounds up
        {"9 h", 32400, 32400, kTravelEnd},
    };
    for (const Case& c : cases) {
        window.slider.setMax(c.max);
        markAt(FormEvent::Command5Click, 1000, c.value);
        markAt(FormEvent::Command6Click, 2000, c.value);
        const std::string what = std::string(c.track) + " at " + std::to_string(c.value) + " s";
        EXPECT_EQ(window.line1.x1(), c.beginX) << what;
        EXPECT_EQ(window.line1.x2(), c.beginX) << what << ": the line stays vertical";
        EXPECT_EQ(window.line2.x1(), c.beginX + 160) << what;
        EXPECT_EQ(window.line2.x2(), c.beginX + 160) << what;
    }
}

TEST_F(SelectionMarks, ASliderWithoutARangeKeepsTheLinesAtTheirOffsets) {
    for (const std::int32_t max : {0, -5}) {
        window.slider.setMax(max);
        markAt(FormEvent::Command5Click, 1000, 0);
        markAt(FormEvent::Command6Click, 2000, 0);
        EXPECT_EQ(window.line1.x1(), 240) << max;
        EXPECT_EQ(window.line2.x1(), 400) << max;
    }
}

TEST_F(SelectionMarks, AMarkerBeyond32BitsIsRefusedBeforeAnythingChanges) {
    form.clipBeginMs = 1234;
    window.slider.setMax(1);
    window.slider.setValue(2147483600);
    window.raise(FormEvent::Command5Click);
    EXPECT_EQ(form.clipBeginMs, 1234);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_FALSE(window.programEnded());
}

}  // namespace
}  // namespace snipwell
