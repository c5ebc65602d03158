#pragma once
// The end of the program as the window's services see it. Once ended, every
// pump, dialog and message box that returns throws ProgramEnded, so a handler
// interrupted inside one never takes another step; modal dialogs still open
// are closed and every running event loop is told to leave.

#include <vector>

#include <QPointer>

class QDialog;

namespace snipwell::qt {

class ProgramEnd {
public:
    bool ended() const { return ended_; }
    // Throws snipwell::ProgramEnded once the program has ended.
    void throwIfEnded() const;
    // Idempotent.
    void end();

    // Keeps a modal dialog known while its exec() runs, so end() can close it.
    class ModalScope {
    public:
        ModalScope(ProgramEnd& programEnd, QDialog* dialog);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        ProgramEnd& programEnd_;
        QPointer<QDialog> dialog_;
    };

private:
    bool ended_ = false;
    std::vector<QPointer<QDialog>> openModals_;
};

}  // namespace snipwell::qt
