#pragma once
// The open/save file dialog: Qt's own dialog (not the desktop's), so it looks
// the same everywhere and works on a bare X server. Modal; a cancel reaches
// the handler as RuntimeError(DialogCancelled), and a dialog that the end of
// the program closed throws ProgramEnded.

#include <cstdint>
#include <string>

#include <QFileDialog>

#include "app/controls.h"
#include "app/qt/program_end.h"

namespace snipwell::qt {

class QtFileDialog final : public FileDialog {
public:
    QtFileDialog(QWidget& parent, ProgramEnd& programEnd)
        : parent_(parent), programEnd_(programEnd) {}

    void setFilter(const std::string& filter) override { filter_ = filter; }
    void setFileName(const std::string& fileName) override { fileName_ = fileName; }
    std::string fileName() const override { return fileName_; }
    void setDialogTitle(const std::string& title) override { title_ = title; }
    // Stored only: configure() sets every option this dialog needs.
    void setFlags(std::int16_t flags) override { flags_ = flags; }
    void setFilterIndex(std::int16_t index) override { filterIndex_ = index; }
    std::int16_t filterIndex() const override { return filterIndex_; }
    void showOpen() override { show(QFileDialog::AcceptOpen); }
    void showSave() override { show(QFileDialog::AcceptSave); }

private:
    void show(QFileDialog::AcceptMode mode);
    void configure(QFileDialog& dialog, QFileDialog::AcceptMode mode) const;

    QWidget& parent_;
    ProgramEnd& programEnd_;
    std::string filter_;
    std::string fileName_;
    std::string title_;
    std::int16_t flags_ = 0;
    std::int16_t filterIndex_ = 1;
};

}  // namespace snipwell::qt
