// The window as laid out: where each shown control stands to the others,
// the window's frame, texts, colours, start states, focus order, and a
// screenshot kept for people.

#include <string>

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

// Where one control stands to another, as a person reads the window:
// `first` above `second`, or beside it on the left (their heights overlap).
// `slack` is the overlap allowed, in pixels: neighbouring picture buttons
// share a few pixels of their blank edges.
enum class Side { above, leftOf };
struct Placement {
    const char* first;
    Side side;
    const char* second;
    int slack;
};

const Placement kPlacements[] = {
    // The title, the two marks and the slider from the top down.
    {"Frame5", Side::above, "H", 0},
    {"Line1", Side::above, "H", 0},
    {"Line2", Side::above, "H", 0},
    // The transport row under the slider, left to right.
    {"H", Side::above, "Command1", 0},
    {"H", Side::above, "Command4", 0},
    {"Command1", Side::leftOf, "Command2", 6},
    {"Command2", Side::leftOf, "Command3", 6},
    {"Command3", Side::leftOf, "Command4", 6},
    {"Command4", Side::leftOf, "Command7", 6},
    // Select Start and Select End under it, then the fields.
    {"Command2", Side::above, "Command5", 0},
    {"Command3", Side::above, "Command6", 0},
    {"Command5", Side::leftOf, "Command6", 1},
    {"Command5", Side::above, "Frame1", 0},
    {"Command6", Side::above, "Frame2", 0},
    {"Frame1", Side::leftOf, "Frame2", 0},
    {"Frame1", Side::leftOf, "Command9", 0},
    {"Frame2", Side::above, "Command9", 0},
    {"Command9", Side::above, "Command8", 0},
    // Each value field right of its caption, the three one under another.
    {"bp", Side::leftOf, "Label7", 0},
    {"ep1", Side::leftOf, "Label9", 0},
    {"ln", Side::leftOf, "Label3", 0},
    {"bp", Side::above, "ep1", 0},
    {"ep1", Side::above, "ln", 0},
    // The progress bar under every button, the web panel at the bottom.
    {"Frame1", Side::above, "pb", 0},
    {"Command8", Side::above, "pb", 0},
    {"pb", Side::above, "WebBrowser1", 0},
};

class WindowLayout : public WindowTest {
protected:
    // A shown control's rectangle in the window's client area.
    QRect placeOf(const char* name) {
        QWidget* widget = control(name);
        if (widget == nullptr || !widget->isVisible()) return {};
        return {widget->mapTo(&window(), QPoint(0, 0)), widget->size()};
    }
};

TEST_F(WindowLayout, ControlsStandInTheOrderAPersonReadsThem) {
    showWindow();
    // Edges drawn into the window's frame may stand out by a pixel or two.
    const QRect client = window().rect().adjusted(-2, -2, 2, 2);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(std::string(placement.first) + " / " + placement.second);
        const QRect first = placeOf(placement.first);
        const QRect second = placeOf(placement.second);
        ASSERT_FALSE(first.isEmpty() || second.isEmpty()) << "not shown";
        EXPECT_TRUE(client.contains(first) && client.contains(second)) << "outside the window";
        if (placement.side == Side::above) {
            EXPECT_LE(first.y() + first.height(), second.y() + placement.slack);
        } else {
            EXPECT_LE(first.x() + first.width(), second.x() + placement.slack);
            EXPECT_TRUE(first.top() <= second.bottom() && second.top() <= first.bottom())
                << "not side by side";
        }
    }
}

// The marks stand over the slider's groove, and the progress bar and the web
// panel run the window's full width.
TEST_F(WindowLayout, MarksOverTheSliderAndFullWidthBars) {
    showWindow();
    const QRect slider = placeOf("H");
    for (const char* mark : {"Line1", "Line2"}) {
        SCOPED_TRACE(mark);
        EXPECT_GE(placeOf(mark).left(), slider.left());
        EXPECT_LE(placeOf(mark).right(), slider.right());
    }
    for (const char* bar : {"pb", "WebBrowser1"}) {
        SCOPED_TRACE(bar);
        EXPECT_LE(placeOf(bar).left(), 0);
        EXPECT_GE(placeOf(bar).right(), window().width() - 1);
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
