#include "clip/export/temporary_name.h"

#include <cstdio>
#include <filesystem>

#include "common/utf8_prefix.h"

namespace snipwell {
namespace {

// The leading dot, the dot before the random part and the 16 hex digits.
constexpr std::size_t kAddedBytes = 2 + 16;

}  // namespace

std::string temporaryPathFor(const std::string& finalPath, std::uint64_t random) {
    const std::filesystem::path final(finalPath);
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random));
    const std::string fullName = final.filename().string();
    const std::string name(utf8Prefix(fullName, kLongestFileName - kAddedBytes));
    return (final.parent_path() / ("." + name + "." + suffix)).string();
}

}  // namespace snipwell
