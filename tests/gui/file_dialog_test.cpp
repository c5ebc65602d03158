// The file dialog: the filter as the handlers write it, matching in any
// letter case; a choice returns the path; a cancel is a failure.

#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include "app/qt/file_filter.h"
#include "common/runtime_error.h"
#include "gui/window_test_fixture.h"

namespace snipwell::qt::testing {
namespace {

TEST(DialogFilterText, EntriesShowTheDescriptionAndKnowThePatterns) {
    struct Case {
        const char* filter;
        QStringList shown;
        QStringList patterns;
    };
    const Case cases[] = {
        {"Mp3 Files (*.Mp3)|*.mp3", {"Mp3 Files (*.Mp3)"}, {"*.mp3"}},
        {"Mp3 Files(*.Mp3)|*.mp3", {"Mp3 Files(*.Mp3)"}, {"*.mp3"}},
        {"Sound|*.mp3;*.wav", {"Sound (*.mp3 *.wav)"}, {"*.mp3", "*.wav"}},
        {"Mp3 (*.ogg)|*.mp3", {"Mp3 (*.ogg) (*.mp3)"}, {"*.mp3"}},
        {"A (*.a)|*.a|B (*.b)|*.b", {"A (*.a)", "B (*.b)"}, {"*.a"}},
        {"", {"*"}, {"*"}},
        {"dangling description", {"*"}, {"*"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        const DialogFilter parsed = parseDialogFilter(c.filter);
        EXPECT_EQ(parsed.shownEntries, c.shown);
        EXPECT_EQ(parsed.firstPatterns, c.patterns);
    }
}

class FileDialogs : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : {"lower.mp3", "UPPER.MP3", "Mixed.Mp3", "other.wav"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        services->Cdlg().setFilter("Mp3 Files (*.Mp3)|*.mp3");
        services->Cdlg().setDialogTitle("Pick a track");
    }

    // Names the dialog offers (enabled rows of its list), once it has read the folder.
    static QStringList offeredNames(QFileDialog& dialog) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        if (view == nullptr) return names;
        if (!QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 3000))
            return names;
        QTest::qWait(100);
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            const QModelIndex index = model->index(row, 0, view->rootIndex());
            if (model->flags(index).testFlag(Qt::ItemIsEnabled)) names << index.data().toString();
        }
        names.sort();
        return names;
    }

    QTemporaryDir folder;
};

TEST_F(FileDialogs, OpenShowsTheFilterAndOffersMp3InAnyCase) {
    services->Cdlg().setFileName(folder.filePath(QStringLiteral("lower.mp3")).toStdString());
    QStringList offered;
    QString title;
    QStringList filters;
    withNextModal([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        if (dialog == nullptr) return;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        offered = offeredNames(*dialog);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    services->Cdlg().showOpen();
    EXPECT_EQ(title, QStringLiteral("Pick a track"));
    EXPECT_EQ(filters, QStringList{QStringLiteral("Mp3 Files (*.Mp3)")});
    EXPECT_EQ(offered, (QStringList{"Mixed.Mp3", "UPPER.MP3", "lower.mp3"}));
    EXPECT_EQ(services->Cdlg().fileName(),
              folder.filePath(QStringLiteral("lower.mp3")).toStdString());
}

TEST_F(FileDialogs, CancelIsAFailureAndKeepsTheName) {
    services->Cdlg().setFileName("/before");
    withNextModal([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
    try {
        services->Cdlg().showOpen();
        FAIL() << "a cancelled dialog returned";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::DialogCancelled);
    }
    EXPECT_EQ(services->Cdlg().fileName(), "/before");
}

TEST_F(FileDialogs, SaveReturnsATypedNewNameWithoutAskingToReplace) {
    const QString target =
        folder.filePath(QStringLiteral("UPPER.MP3"));  // exists: the handler asks, not Qt
    bool savesMode = false;
    withNextModal([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        if (dialog == nullptr) return;
        savesMode = dialog->acceptMode() == QFileDialog::AcceptSave;
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        nameEdit->setText(target);
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });
    services->Cdlg().showSave();
    EXPECT_TRUE(savesMode);
    EXPECT_EQ(services->Cdlg().fileName(), target.toStdString());
}

}  // namespace
}  // namespace snipwell::qt::testing
