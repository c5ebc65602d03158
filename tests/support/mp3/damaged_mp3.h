#pragma once
// Damaged copies of good MP3 files, of the kinds people really have: one
// flipped bit from a disk error or a bad download, a tag written by a broken
// tool. Each takes the bytes of a good file and returns the damaged bytes.

#include <cstddef>
#include <filesystem>

#include "support/file_bytes.h"
#include "support/mp3/mp3_tag_writer.h"

namespace snipwell::test {

// The layer bits of frame `frameIndex` (0 is the first frame, an info frame
// included) turned from Layer III to Layer I: bit 0x04 of the header's
// second byte. Throws if the file has fewer frames.
Bytes withFlippedLayerBit(const Bytes& mp3, std::size_t frameIndex);

// An APEv2 footer appended whose size field says 0xFFFFFFF0 bytes.
Bytes withImpossibleApeFooter(const Bytes& mp3);

// `count` empty ID3v2.3 tags (ten-byte headers with size 0) in front.
Bytes withEmptyId3v2Tags(const Bytes& mp3, std::size_t count);

}  // namespace snipwell::test
