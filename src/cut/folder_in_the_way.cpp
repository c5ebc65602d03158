#include "cut/folder_in_the_way.h"

#include <sys/stat.h>

namespace snipwell {

std::optional<CutFailure> folderInTheWay(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    return refusedBy(CutStage::request, CommandRefusal(CommandRefusalKind::folderInTheWay, path));
}

}  // namespace snipwell
