// One session of the real window, as a person has it: a file opened at start
// plays, a begin and an end are marked with the buttons, and Save writes the
// clip through the save dialog. Only clicks and the dialog's own widgets are
// used, no typed keys, so it runs on any display the window can use (the
// Wayland check in tests/e2e runs it under a compositor without a keyboard).

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

class WindowSession : public WindowTest {};

TEST_F(WindowSession, PlaysMarksAndSavesAClip) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string source = folder.filePath(QStringLiteral("song.mp3")).toStdString();
    const QString target = folder.filePath(QStringLiteral("clip.mp3"));
    {
        std::ofstream out(source, std::ios::binary);
        const std::string block(4'000, 'x');
        for (int i = 0; i < 1'000; ++i) out << block;  // 4,000,000 bytes
    }
    std::int32_t positionMs = 10'000;
    mediaReply = [&](const std::string& command) -> std::string {
        if (command == "status movie mode") return "playing";
        if (command == "status movie length") return "250000";  // 16 bytes per ms
        if (command == "status movie position wait") return std::to_string(positionMs);
        return {};
    };
    showWindow();

    router->routeOpen(source);
    EXPECT_NE(std::find(mediaCommands.begin(), mediaCommands.end(), "play movie"),
              mediaCommands.end());
    EXPECT_EQ(window().H().maximum(), 250);

    const auto click = [&](int number) {
        QTest::mouseClick(&window().command(number), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, 10));
    };
    click(5);
    positionMs = 20'000;
    click(6);
    EXPECT_EQ(form->clipBeginMs, 10'000);
    EXPECT_EQ(form->clipEndMs, 20'000);
    EXPECT_EQ(window().Label3().text(), QStringLiteral(" 0 : 0 : 10"));

    std::vector<QString> messages;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
            static_cast<QDialog*>(dialog)->accept();  // as the Save button does
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text());
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start();
    click(7);
    answer.stop();

    EXPECT_EQ(messages, std::vector<QString>{QStringLiteral("Clip Saved     ")});
    EXPECT_EQ(std::filesystem::file_size(target.toStdString()), 160'000u);
    EXPECT_TRUE(window().command(4).isEnabled()) << "back to idle";
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Snipwell 3.4"));
}

}  // namespace
}  // namespace snipwell::qt::testing
