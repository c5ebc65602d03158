#pragma once
// The one error type of the program's own code. Range checks, divisions,
// file operations and cancelled dialogs all raise it; each handler decides,
// through the helpers in failure_modes.h, whether a failing step ends the
// handler, is skipped, or takes a restore path.

#include <stdexcept>
#include <string>

namespace snipwell {

enum class ErrorKind {
    Overflow,         // a checked integer result or conversion does not fit
    DivisionByZero,   // an integer division, or a rate, by zero
    DialogCancelled,  // the user cancelled a file dialog
    FileError,        // a file could not be opened, read, written or committed
    ServiceFailure,   // a window service could not do what was asked (a link that cannot be opened)
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorKind kind, const std::string& what);

    ErrorKind kind() const noexcept { return kind_; }

    static RuntimeError overflow();
    static RuntimeError divisionByZero();

private:
    ErrorKind kind_;
};

// Thrown out of the event pump, a dialog or a message box once the window has
// been closed inside it: it unwinds the interrupted handler (closing its files,
// discarding an unfinished clip) without letting it run another step. It is
// deliberately not a RuntimeError, so no failure mode of a handler catches it;
// only the event router of the window does.
struct ProgramEnded {};

}  // namespace snipwell
