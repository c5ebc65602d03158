#include "cut/track_path_check.h"

#include <unistd.h>
#include <cerrno>
#include <climits>

#include <algorithm>
#include <filesystem>

#include "clip/export/temporary_name.h"

namespace snipwell {
namespace {

// The longest name the file system under `folder` holds: asked of the
// nearest folder that exists, since a folder still to be made lands there.
std::size_t longestNameIn(const std::string& folder) {
    std::filesystem::path at = std::filesystem::absolute(folder);
    for (;;) {
        errno = 0;
        const long longest = ::pathconf(at.c_str(), _PC_NAME_MAX);
        if (longest > 0) return static_cast<std::size_t>(longest);
        if (errno != ENOENT || !at.has_parent_path() || at.parent_path() == at) break;
        at = at.parent_path();
    }
    return kLongestFileName;
}

}  // namespace

std::optional<CutFailure> trackPathProblem(const std::string& folder, const std::string& name,
                                           int number) {
    const std::size_t longest = longestNameIn(folder);
    if (name.size() > longest) {
        return refusedBy(CutStage::request,
                         CommandRefusal(CommandRefusalKind::nameTooLong, name, folder,
                                        static_cast<std::int64_t>(name.size()),
                                        static_cast<std::int64_t>(longest), number));
    }
    const std::string path = (std::filesystem::path(folder) / name).string();
    const std::string hidden = temporaryPathFor(path, 0);
    if (hidden.size() >= PATH_MAX) {
        // The limit told is the one for this path: what the hidden name,
        // longer than the track's own by up to 18 bytes, leaves of the
        // system's.
        const auto added = std::max<std::int64_t>(
            static_cast<std::int64_t>(hidden.size()) - static_cast<std::int64_t>(path.size()), 0);
        return refusedBy(CutStage::request, CommandRefusal(CommandRefusalKind::pathTooLong, path,
                                                           {}, 0, PATH_MAX - 1 - added, number));
    }
    return std::nullopt;
}

}  // namespace snipwell
