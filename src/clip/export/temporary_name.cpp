#include "clip/export/temporary_name.h"

#include <cstdio>
#include <filesystem>

namespace snipwell {
namespace {

// The leading dot, the dot before the random part and the 16 hex digits.
constexpr std::size_t kAddedBytes = 2 + 16;

// Cuts `name` to at most `bytes` without splitting a UTF-8 sequence, so the
// hidden name still reads as the target's in a listing.
std::string cutToBytes(std::string name, std::size_t bytes) {
    if (name.size() <= bytes) return name;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0u) == 0x80u) --end;
    name.resize(end);
    return name;
}

}  // namespace

std::string temporaryPathFor(const std::string& finalPath, std::uint64_t random) {
    const std::filesystem::path final(finalPath);
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random));
    const std::string name = cutToBytes(final.filename().string(), kLongestFileName - kAddedBytes);
    return (final.parent_path() / ("." + name + "." + suffix)).string();
}

}  // namespace snipwell
