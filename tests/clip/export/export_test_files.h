#pragma once
// Files for export tests: a scratch folder removed afterwards, sources whose
// bytes differ from their neighbours (so a clip shifted by one byte shows),
// and the clip a byte range of such a source must give.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace snipwell::test {

using ByteVector = std::vector<unsigned char>;

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // The names in the folder, sorted: shows any temporary file left behind.
    std::vector<std::string> names() const;

private:
    std::filesystem::path path_;
};

// `size` bytes of a sequence that does not repeat within a clip.
ByteVector patternBytes(std::size_t size, std::uint32_t seed = 1);

void writeBytes(const std::string& path, const ByteVector& bytes);
ByteVector readBytes(const std::string& path);

// The clip a copy of `length` bytes from 1-based `beginOffset` must give:
// the source's bytes, and zeros where the range reaches past its end.
ByteVector expectedClip(const ByteVector& source, std::int64_t beginOffset, std::size_t length);

}  // namespace snipwell::test
