#include "split/sheet_error.h"

namespace snipwell {

std::string describe(const SheetError& error) {
    const std::string where = "line " + std::to_string(error.line) + ": " + error.what;
    return error.file.empty() ? where : "\"" + error.file + "\", " + where;
}

}  // namespace snipwell
