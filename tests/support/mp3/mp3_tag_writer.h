#pragma once
// Byte-level pieces of MP3 files that the encoder on the command line cannot
// write: tags in the places and sizes real files have them, and a VBRI info
// frame. Their payloads deliberately hold bytes that look like frame sync,
// so that a reader who does not step over a tag counts phantom frames.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/file_bytes.h"

namespace snipwell::test {

// An ID3v2.3 tag with a title and a front-cover picture of `pictureBytes`.
Bytes id3v2TagWithPicture(std::size_t pictureBytes);

// A chapter (CHAP frame) with an optional title (a TIT2 frame inside it).
struct ChapterFrame {
    std::string elementId;
    std::uint32_t startMs = 0;
    std::uint32_t endMs = 0;
    std::optional<std::uint32_t> startByte;  // written as 0xFFFFFFFF when absent
    std::optional<std::uint32_t> endByte;
    std::optional<std::string> title;  // UTF-8 in 2.4, ISO-8859-1 in 2.3
};

// A table of contents (CTOC frame) listing chapters and tables by id.
struct ContentsFrame {
    std::string elementId;
    bool topLevel = true;
    bool ordered = true;
    std::vector<std::string> childIds;
};

struct ChapterTag {
    int version = 4;                      // 3 or 4
    bool unsynchronised = false;          // 2.3: the whole tag; 2.4: each frame
    std::vector<ContentsFrame> contents;  // written first, as writers do
    std::vector<ChapterFrame> chapters;
};

// An ID3v2 tag holding the tables and chapters, in the order given.
Bytes id3v2ChapterTag(const ChapterTag& wanted);

// A 128-byte ID3v1 tag.
Bytes id3v1Tag();

// An APEv2 tag with header and footer and a few text items.
Bytes apeTag();

// `stream` (plain 44.1 kHz MPEG-1 Layer III frames, no info frame) with a
// VBRI info frame put in front, as one encoder family writes it.
Bytes withVbriFrame(const Bytes& stream);

}  // namespace snipwell::test
