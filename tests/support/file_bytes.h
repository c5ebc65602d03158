#pragma once
// Whole files as bytes, for tests that write a source and compare a clip.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace snipwell::test {

using Bytes = std::vector<std::uint8_t>;

// Both throw std::runtime_error when the file cannot be read or written.
Bytes readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace snipwell::test
