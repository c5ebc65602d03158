#pragma once
// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace snipwell::test {

class TempDir {
public:
    TempDir();
    // A fresh folder inside `parent`, which must exist.
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path inside the folder (the file is not created).
    std::filesystem::path file(std::string_view name) const { return path_ / name; }
    // The names in the folder, sorted: shows any temporary file left behind.
    std::vector<std::string> names() const;

private:
    std::filesystem::path path_;
};

}  // namespace snipwell::test
