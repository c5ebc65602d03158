#pragma once
// Byte-level pieces of MP3 files that the encoder on the command line cannot
// write: tags in the places and sizes real files have them, and a VBRI info
// frame. Their payloads deliberately hold bytes that look like frame sync,
// so that a reader who does not step over a tag counts phantom frames.

#include <cstddef>
#include <cstdint>

#include "support/file_bytes.h"

namespace snipwell::test {

// An ID3v2.3 tag with a title and a front-cover picture of `pictureBytes`.
Bytes id3v2TagWithPicture(std::size_t pictureBytes);

// A 128-byte ID3v1 tag.
Bytes id3v1Tag();

// An APEv2 tag with header and footer and a few text items.
Bytes apeTag();

// `stream` (plain 44.1 kHz MPEG-1 Layer III frames, no info frame) with a
// VBRI info frame put in front, as one encoder family writes it.
Bytes withVbriFrame(const Bytes& stream);

}  // namespace snipwell::test
