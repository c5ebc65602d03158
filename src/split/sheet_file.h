#pragma once
// A cue sheet or label file read whole, once, from its start. A sheet may
// come through a pipe, a FIFO or a process substitution (/dev/fd/63) as well
// as from a plain file, and such a file can neither be measured first nor
// read twice, so it is read in one go up to its end.

#include <cstddef>
#include <string>

namespace snipwell {

// A sheet of a thousand tracks is some 200 kB; anything far larger is no
// sheet.
inline constexpr std::size_t kLargestSheetBytes = 4 * 1024 * 1024;

// The file's bytes. Throws RuntimeError(FileError) for a folder or a device
// (no sheet, and a device may never end), a file that cannot be read, and
// one longer than `largest` bytes.
std::string readSheetFile(const std::string& path, std::size_t largest);

}  // namespace snipwell
