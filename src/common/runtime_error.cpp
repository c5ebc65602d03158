#include "common/runtime_error.h"

namespace snipwell {

RuntimeError::RuntimeError(ErrorKind kind, const std::string& what)
    : std::runtime_error(what), kind_(kind) {}

RuntimeError RuntimeError::overflow() { return {ErrorKind::Overflow, "Overflow"}; }

RuntimeError RuntimeError::divisionByZero() {
    return {ErrorKind::DivisionByZero, "Division by zero"};
}

}  // namespace snipwell
