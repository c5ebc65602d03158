// The Save dialog's two file types, through the real dialog: the exact type
// writes a clip of exactly the marked samples and is offered again on the
// next save; the first type writes the frames that hold the marks; a file
// the exact cut refuses says why once and writes nothing.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "clip/exact/mpg123_decode.h"
#include "gui/window_test_fixture.h"
#include "mp3/block_reader.h"
#include "mp3/frame_slice.h"
#include "support/file_bytes.h"
#include "support/mp3/mp3_fixtures.h"

namespace snipwell::qt::testing {
namespace {

namespace fs = std::filesystem;
using snipwell::test::Mp3Fixtures;
using snipwell::test::Mp3Kind;

class SaveTypes : public WindowTest {
protected:
    void open(const fs::path& source) {
        mediaReply = [](const std::string& command) -> std::string {
            if (command == "status movie length") return "10000";
            return {};
        };
        showWindow();
        router->routeOpen(source.string());
        form->clipBeginMs = 1'234;
        form->clipEndMs = 6'789;
    }

    // Clicks Save, types `target` as a person does (the dialog active, its
    // name field focused) and then picks the filter entry `type` (1 or 2)
    // with the keyboard, or keeps the one offered for 0. Returns the
    // messages shown and notes the entry offered.
    std::vector<QString> save(const QString& target, int type) {
        std::vector<QString> messages;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) return;
            answer.stop();
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                offered = dialog->nameFilters().indexOf(dialog->selectedNameFilter()) + 1;
                dialog->activateWindow();
                if (!QTest::qWaitForWindowActive(dialog)) {
                    ADD_FAILURE() << "the Save dialog did not become active";
                    dialog->reject();
                    return;
                }
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                name->setFocus(Qt::OtherFocusReason);
                name->setText(target);
                auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                while (type != 0 && types->currentIndex() != type - 1) {
                    QTest::keyClick(types,
                                    types->currentIndex() < type - 1 ? Qt::Key_Down : Qt::Key_Up);
                }
                static_cast<QDialog*>(dialog)->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages.push_back(box->text());
                QAbstractButton* ok = box->button(QMessageBox::Ok);
                (ok != nullptr ? ok : box->button(QMessageBox::No))->click();
            }
            answer.start();
        });
        answer.start();
        QTest::mouseClick(&window().command(7), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        answer.stop();
        return messages;
    }

    QTemporaryDir folder;
    qsizetype offered = 0;
};

TEST_F(SaveTypes, ExactTypeGivesTheMarkedSamplesAndIsOfferedAgain) {
    open(Mp3Fixtures::file(Mp3Kind::vbrWithXing));
    const QString exact = folder.filePath(QStringLiteral("exact.mp3"));
    EXPECT_EQ(save(exact, 2), std::vector<QString>{QStringLiteral("Clip Saved     ")});
    EXPECT_EQ(offered, 1);
    const test::DecodedAudio clip = test::decodeWithMpg123(exact.toStdString());
    EXPECT_EQ(clip.frames(), 6'789u * 441 / 10 - 1'234u * 441 / 10);

    const QString again = folder.filePath(QStringLiteral("again.mp3"));
    save(again, 0);
    EXPECT_EQ(offered, 2) << "the exact type is kept for the next save";
    EXPECT_EQ(test::decodeWithMpg123(again.toStdString()).frames(), clip.frames());
}

// Back from the exact type to the first one, with the name typed before:
// the name keeps its letter case and the clip is the frame slice.
TEST_F(SaveTypes, FirstTypeGivesTheFramesThatHoldTheMarks) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::vbrWithXing);
    open(source);
    save(folder.filePath(QStringLiteral("exact.mp3")), 2);
    const QString target = folder.filePath(QStringLiteral("frames.mp3"));
    EXPECT_EQ(save(target, 1), std::vector<QString>{QStringLiteral("Clip Saved     ")});
    EXPECT_EQ(offered, 2);

    auto reader = std::get<mp3::BlockReader>(mp3::BlockReader::open(source.string()));
    const auto slice = std::get<mp3::ByteSpan>(mp3::findFrameSlice(reader, 1'234, 6'789));
    const test::Bytes whole = test::readBytes(source);
    EXPECT_TRUE(test::readBytes(target.toStdString()) ==
                test::Bytes(whole.begin() + static_cast<std::ptrdiff_t>(slice.begin),
                            whole.begin() + static_cast<std::ptrdiff_t>(slice.end)));
}

TEST_F(SaveTypes, RefusedFileSaysWhyOnceAndWritesNothing) {
    open(Mp3Fixtures::file(Mp3Kind::mpeg1Layer2));
    const QString target = folder.filePath(QStringLiteral("exact.mp3"));
    const std::vector<QString> messages = save(target, 2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Layer II"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Mp3 Files(*.Mp3)")));
    EXPECT_FALSE(fs::exists(target.toStdString()));
    EXPECT_TRUE(window().command(7).isEnabled()) << "back to idle";
}

}  // namespace
}  // namespace snipwell::qt::testing
