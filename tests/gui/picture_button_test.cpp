// The nine picture buttons: their drawn faces, and that neither a press nor
// disabling changes how they look, while a disabled one raises no click.

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include "app/qt/picture_button_face.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

struct FaceCase {
    int number;
    const char* text;
    QSize bitmap;
};

const FaceCase kFaceCases[] = {
    {1, "Play", {57, 24}}, {2, "Stop", {59, 28}},         {3, "Pause", {69, 27}},
    {4, "Open", {61, 28}}, {5, "Select Start", {93, 27}}, {6, "Select End", {91, 28}},
    {7, "Save", {62, 26}}, {8, "Home Page", {99, 26}},    {9, "Play Selected", {112, 26}},
};

// Colour distance small enough for the shading's ends after rounding.
bool near(QRgb actual, QRgb expected, int tolerance) {
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

// The drawn button: the smallest rectangle holding every pixel that is not white.
QRect drawnButton(const QImage& face) {
    QRect drawn;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (face.pixel(x, y) != qRgb(255, 255, 255)) drawn |= QRect(x, y, 1, 1);
    return drawn;
}

class PictureButtons : public WindowTest {};

TEST_F(PictureButtons, FacesAreDrawnButtonsOnWhiteMarginsInsideTheirControls) {
    for (const FaceCase& expected : kFaceCases) {
        SCOPED_TRACE(expected.text);
        const FaceButton& button = window().command(expected.number);
        const QImage face = button.faceImage();
        EXPECT_EQ(face.size(), expected.bitmap);
        EXPECT_EQ(button.accessibleName(), QString::fromLatin1(expected.text));

        const QRect drawn = drawnButton(face);
        const int left = drawn.left(), top = drawn.top();
        const int right = face.width() - 1 - drawn.right(),
                  bottom = face.height() - 1 - drawn.bottom();
        for (int margin : {left, top, right, bottom}) {
            EXPECT_GE(margin, 1);
            EXPECT_LE(margin, 4);
        }
        EXPECT_TRUE(QRect(QPoint(0, 0), button.size()).contains(drawn));

        const int middleY = drawn.center().y();
        const int middleX = drawn.center().x();
        EXPECT_EQ(face.pixel(drawn.left(), middleY), kFaceOutline);
        EXPECT_EQ(face.pixel(drawn.right(), middleY), kFaceOutline);
        EXPECT_EQ(face.pixel(middleX, drawn.top()), kFaceOutline);
        EXPECT_EQ(face.pixel(middleX, drawn.bottom()), kFaceOutline);
        // Rounded corners: the corner pixel itself is not full outline colour.
        EXPECT_NE(face.pixel(drawn.topLeft()), kFaceOutline);

        EXPECT_TRUE(near(face.pixel(drawn.left() + 4, drawn.top() + 1), kFaceTop, 6))
            << std::hex << face.pixel(drawn.left() + 4, drawn.top() + 1);
        EXPECT_TRUE(near(face.pixel(drawn.left() + 4, drawn.bottom() - 1), kFaceBottom, 6))
            << std::hex << face.pixel(drawn.left() + 4, drawn.bottom() - 1);

        int darkTextPixels = 0;
        for (int x = drawn.left() + 3; x < drawn.right() - 2; ++x)
            for (int y = drawn.top() + 3; y < drawn.bottom() - 2; ++y)
                if (qGray(face.pixel(x, y)) < 80) ++darkTextPixels;
        EXPECT_GT(darkTextPixels, 10);
    }
}

TEST_F(PictureButtons, DisabledButtonRaisesNoClickAndLooksTheSame) {
    router.reset();  // Open's handler would show its dialog
    showWindow();
    FaceButton& open = window().command(4);
    QSignalSpy clicks(&open, &FaceButton::clicked);
    const QImage enabledLook = open.grab().toImage();

    services->command(4).setEnabled(false);
    EXPECT_FALSE(services->command(4).enabled());
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(open.grab().toImage(), enabledLook);

    services->command(4).setEnabled(true);
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(PictureButtons, PressShowsNoPressedLookAndOnlyAReleaseOverItClicks) {
    router.reset();
    showWindow();
    FaceButton& stop = window().command(2);
    QSignalSpy clicks(&stop, &FaceButton::clicked);
    const QImage restingLook = stop.grab().toImage();

    QTest::mousePress(&stop, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(stop.grab().toImage(), restingLook);
    QTest::mouseRelease(&stop, Qt::LeftButton, {}, QPoint(200, 10));  // dragged off: no click
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseClick(&stop, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(PictureButtons, ClicksReachTheirHandlers) {
    showWindow();
    // Stop sends its media command through Form1; Home Page opens the site.
    QTest::mouseClick(&window().command(2), Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_FALSE(mediaCommands.empty());
    QTest::mouseClick(&window().command(8), Qt::LeftButton, {}, QPoint(30, 10));
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_TRUE(openedUrls[0].toString().startsWith(QStringLiteral("https://")));
}

TEST_F(PictureButtons, ScreenReadersHearTheFaceText) {
    for (const FaceCase& expected : kFaceCases) {
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(&window().command(expected.number));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromLatin1(expected.text));
    }
}

}  // namespace
}  // namespace snipwell::qt::testing
