// The window as laid out: every control's place, the window's frame, texts,
// colours, start states, focus order, and a screenshot kept for people.

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include "app/qt/marker_line.h"
#include "app/qt/position_slider.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

struct ExpectedPlace {
    const char* name;
    QRect onWindow;  // pixels, from the top-left of the client area
};

// Twips divided by 15; controls inside frames at their place on the window.
const ExpectedPlace kPlaces[] = {
    {"Frame5", {32, 1, 240, 28}},       {"qvl", {65, 10, 185, 17}},
    {"WebBrowser1", {0, 251, 305, 93}}, {"P", {-1, 416, 353, 281}},
    {"Frame4", {-5, 451, 385, 321}},    {"Frame3", {-18, 694, 353, 281}},
    {"Command6", {147, 98, 91, 25}},    {"Command5", {55, 99, 93, 25}},
    {"Command8", {179, 191, 99, 25}},   {"pb", {0, 223, 307, 23}},
    {"Command9", {174, 166, 110, 25}},  {"Frame2", {159, 128, 138, 35}},
    {"Label4", {165, 144, 124, 12}},    {"Frame1", {10, 128, 144, 79}},
    {"Label3", {56, 185, 92, 12}},      {"Label9", {82, 167, 66, 12}},
    {"Label7", {89, 149, 59, 12}},      {"ln", {14, 183, 42, 16}},
    {"ep1", {14, 166, 67, 16}},         {"bp", {14, 147, 75, 16}},
    {"Command7", {232, 69, 60, 25}},    {"Command4", {174, 67, 60, 25}},
    {"Command3", {109, 68, 67, 25}},    {"Command2", {56, 68, 57, 25}},
    {"Command1", {5, 70, 57, 24}},      {"H", {8, 40, 281, 25}},
    {"Label1", {97, 421, 226, 17}},     {"Line2", {280, 32, 1, 8}},
    {"Line1", {16, 32, 1, 8}},          {"Shape1", {24, 24, 1, 1}},
};

class WindowLayout : public WindowTest {};

TEST_F(WindowLayout, EveryControlStandsAtItsPlaceAndSize) {
    for (const ExpectedPlace& expected : kPlaces) {
        SCOPED_TRACE(expected.name);
        QWidget* widget = control(expected.name);
        ASSERT_NE(widget, nullptr);
        const QRect actual(widget->mapTo(&window(), QPoint(0, 0)), widget->size());
        EXPECT_EQ(actual, expected.onWindow);
    }
}

// Creation order decides which of two touching controls lies on top.
TEST_F(WindowLayout, ControlsAreCreatedInLayoutOrder) {
    const QStringList order = {"Frame5",   "WebBrowser1", "P",        "Command6", "Command5",
                               "Command8", "pb",          "Command9", "Frame2",   "Frame1",
                               "Command7", "Command4",    "Command3", "Command2", "Command1",
                               "H",        "Label1",      "Line2",    "Line1",    "Shape1"};
    QStringList created;
    for (QObject* child : window().children()) {
        if (child->isWidgetType() && order.contains(child->objectName()))
            created << child->objectName();
    }
    EXPECT_EQ(created, order);
}

TEST_F(WindowLayout, WindowHasFixedSizeCaptionAndNoMaximise) {
    showWindow();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Snipwell 3.4"));
    EXPECT_EQ(window().size(), QSize(305, 343));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    const Qt::WindowFlags flags = window().windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));

    window().resize(500, 500);
    QTest::qWait(20);
    EXPECT_EQ(window().size(), QSize(305, 343));
    EXPECT_EQ(window().windowIcon().pixmap(32, 32).size(), QSize(32, 32));
}

TEST_F(WindowLayout, TextsColoursAndStartStates) {
    auto text = [this](const char* name) { return control<QLabel>(name)->text(); };
    EXPECT_EQ(text("qvl"), QStringLiteral("  Quorvane Presentation"));
    EXPECT_EQ(text("ln"), QStringLiteral("Length :"));
    EXPECT_EQ(text("ep1"), QStringLiteral("End Position :"));
    EXPECT_EQ(text("bp"), QStringLiteral("Begin Position :"));
    EXPECT_EQ(text("Label1"), QStringLiteral("Get Free Disk Defragmentation Software Trial"));
    EXPECT_EQ(window().palette().color(QPalette::Window), QColor(Qt::white));

    for (const char* valueField : {"Label3", "Label4", "Label7", "Label9"}) {
        SCOPED_TRACE(valueField);
        auto* label = control<QLabel>(valueField);
        EXPECT_TRUE(label->text().isEmpty());
        EXPECT_TRUE(label->alignment().testFlag(Qt::AlignHCenter));
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(224, 224, 224));
    }
    auto* link = control<QLabel>("Label1");
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(link->font().underline());

    // Out of sight at the laid-out size: the video host and the advert link.
    const QRect client = window().rect();
    for (const char* hidden : {"P", "Frame4", "Frame3"})
        EXPECT_FALSE(control(hidden)->isVisibleTo(&window()));
    EXPECT_TRUE(link->isVisibleTo(&window()));
    EXPECT_FALSE(client.intersects(QRect(link->mapTo(&window(), QPoint()), link->size())));

    EXPECT_EQ(window().T().interval(), 1000);
    EXPECT_FALSE(window().T().isActive());
    EXPECT_EQ(window().Timer1().interval(), 100);
    EXPECT_TRUE(window().Timer1().isActive());
    EXPECT_EQ(window().H().minimum(), 0);
    EXPECT_EQ(window().H().value(), 0);
    EXPECT_EQ(window().pb().value(), 0);
    EXPECT_EQ(services->Line1().x1(), 240.0f);
    EXPECT_EQ(services->Line2().x2(), 4200.0f);
}

// The focus chain that Tab follows, keeping only what can take the focus.
TEST_F(WindowLayout, TabWalksTheControlsInTabIndexOrder) {
    QStringList visited;
    QWidget* widget = &window().command(1);
    do {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisibleTo(&window()) &&
            widget != &window())
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != &window().command(1) && visited.size() < 40);
    const QStringList expected = {"Command1", "Command2", "Command3",   "Command4",
                                  "Command7", "Command9", "Command8",   "Command5",
                                  "Command6", "H",        "WebBrowser1"};
    EXPECT_EQ(visited, expected);
}

// Pixels a person would notice: the marker lines, the dot, the value fields.
TEST_F(WindowLayout, ScreenshotShowsMarkersAndFields) {
    showWindow();
    const QImage shot = window().grab().toImage();
    QDir().mkpath(QStringLiteral(SNIPWELL_ARTIFACTS_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(SNIPWELL_ARTIFACTS_DIR "/window.png")));

    EXPECT_EQ(QColor(shot.pixel(16, 35)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(shot.pixel(280, 35)), window().palette().color(QPalette::WindowText));
    EXPECT_EQ(QColor(shot.pixel(16, 31)), QColor(Qt::white));  // nothing above the marker
    EXPECT_EQ(QColor(shot.pixel(24, 24)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(170, 150)), QColor(224, 224, 224));
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(Qt::white));
}

}  // namespace
}  // namespace snipwell::qt::testing
