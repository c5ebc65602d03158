#include "clip/export/file_error.h"

#include <system_error>

namespace snipwell {

RuntimeError fileError(const std::string& action, const std::string& path, int systemError) {
    return fileError(action, path, std::generic_category().message(systemError));
}

RuntimeError fileError(const std::string& action, const std::string& path,
                       const std::string& reason) {
    return RuntimeError(ErrorKind::FileError, action + " \"" + path + "\": " + reason);
}

}  // namespace snipwell
