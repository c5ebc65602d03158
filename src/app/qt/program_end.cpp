#include "app/qt/program_end.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDialog>

#include "common/runtime_error.h"

namespace snipwell::qt {

void ProgramEnd::throwIfEnded() const {
    if (ended_) throw ProgramEnded{};
}

void ProgramEnd::end() {
    if (ended_) return;
    ended_ = true;
    // Innermost first; a rejected dialog leaves its exec() at once.
    for (auto it = openModals_.rbegin(); it != openModals_.rend(); ++it) {
        QDialog* dialog = it->data();
        if (dialog != nullptr) dialog->reject();
    }
    // exit() leaves every event loop that runs, the nested ones included, and
    // any loop started afterwards returns at once.
    QCoreApplication::exit(0);
}

ProgramEnd::ModalScope::ModalScope(ProgramEnd& programEnd, QDialog* dialog)
    : programEnd_(programEnd), dialog_(dialog) {
    programEnd_.openModals_.push_back(dialog_);
}

ProgramEnd::ModalScope::~ModalScope() {
    auto& modals = programEnd_.openModals_;
    modals.erase(std::remove_if(modals.begin(), modals.end(),
                                [this](const QPointer<QDialog>& open) {
                                    return open.isNull() || open == dialog_;
                                }),
                 modals.end());
}

}  // namespace snipwell::qt
