#include "app/qt/qt_file_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <memory>
#include <optional>

#include "app/qt/file_filter.h"
#include "common/runtime_error.h"

namespace snipwell::qt {
namespace {

// Choosing another file type in a save dialog gives the typed name the
// extension of the type's first pattern, in that pattern's letter case:
// "clip.mp3" under "(*.Mp3)" becomes "clip.Mp3", another file on this disk.
// Where only the letter case would change, the name stays as typed.
void keepNameAcrossTypes(QFileDialog& dialog) {
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (types == nullptr || name == nullptr) return;
    // A person's choice of another type moves the combo to it before the
    // dialog renames, and reports the type after.
    auto typed = std::make_shared<std::optional<QString>>();
    QObject::connect(types, &QComboBox::currentIndexChanged, name,
                     [name, typed] { *typed = name->text(); });
    QObject::connect(&dialog, &QFileDialog::filterSelected, name, [name, typed] {
        if (typed->has_value() && name->text() != **typed &&
            name->text().compare(**typed, Qt::CaseInsensitive) == 0)
            name->setText(**typed);
        typed->reset();
    });
}

}  // namespace

void QtFileDialog::configure(QFileDialog& dialog, QFileDialog::AcceptMode mode) const {
    const bool opening = mode == QFileDialog::AcceptOpen;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The save handler asks before replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(opening ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setWindowTitle(title_.empty()
                              ? (opening ? QStringLiteral("Open") : QStringLiteral("Save As"))
                              : QString::fromStdString(title_));

    const DialogFilter filter = parseDialogFilter(filter_);
    dialog.setNameFilters(filter.shownEntries);
    if (filterIndex_ >= 1 && filterIndex_ <= filter.shownEntries.size())
        dialog.selectNameFilter(filter.shownEntries[filterIndex_ - 1]);
    // Names match their patterns whatever the letter case: "*.mp3" finds
    // "Song.MP3" as well.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (mode == QFileDialog::AcceptSave) keepNameAcrossTypes(dialog);

    if (!fileName_.empty())
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(fileName_)));
}

void QtFileDialog::show(QFileDialog::AcceptMode mode) {
    programEnd_.throwIfEnded();
    QFileDialog dialog(&parent_);
    configure(dialog, mode);

    ProgramEnd::ModalScope modal(programEnd_, &dialog);
    const int result = dialog.exec();
    programEnd_.throwIfEnded();

    const QStringList chosen = dialog.selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty()) {
        throw RuntimeError(ErrorKind::DialogCancelled, "the file dialog was cancelled");
    }
    fileName_ = QFile::encodeName(chosen.first()).toStdString();
    filterIndex_ =
        static_cast<std::int16_t>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()) + 1);
}

}  // namespace snipwell::qt
