#pragma once
// The chapters a podcast or an audiobook carries in its ID3v2 tag: CHAP
// frames (an element id, start and end times in milliseconds, optionally the
// bytes where the chapter starts and ends, and frames of its own such as the
// TIT2 title) and CTOC frames (tables of contents that list chapters, and
// other tables, by element id). Versions 2.3 and 2.4 carry them; version 2.2
// has none. The tag is read as readId3v2Frames reads it, so
// unsynchronisation, extended headers and frame flags are handled the same
// way, and malformed frames are left out rather than trusted.
//
// Reading is plain: every chapter and table as the tag has them. Putting
// them in play order and refusing a table a split cannot follow is a step of
// its own (chaptersInPlayOrder).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "mp3/block_reader.h"
#include "mp3/id3v2_frames.h"
#include "mp3/mp3_error.h"

namespace snipwell::mp3 {

struct Id3v2Chapter {
    std::string elementId;  // as UTF-8
    std::uint32_t startMs = 0;
    std::uint32_t endMs = 0;
    // Byte offsets from the start of the file, when the tag gives them.
    std::optional<std::uint32_t> startByte;
    std::optional<std::uint32_t> endByte;
    std::optional<std::string> title;  // the chapter's own TIT2
    std::vector<Id3v2Frame> frames;    // every frame the chapter holds, TIT2 too
};

struct Id3v2TableOfContents {
    std::string elementId;  // as UTF-8
    bool topLevel = false;
    bool ordered = false;
    std::vector<std::string> childIds;  // chapters and tables, in the listed order
};

struct Id3v2ChapterTable {
    std::vector<Id3v2Chapter> chapters;          // in tag order
    std::vector<Id3v2TableOfContents> contents;  // in tag order
};

// The chapters and tables of one whole tag, from its "ID3" header to its end.
Id3v2ChapterTable readId3v2Chapters(std::span<const std::uint8_t> tag);

// The chapters and tables of every ID3v2 tag in front of the file's audio;
// unreadable or changed when the file cannot be read.
Mp3Result<Id3v2ChapterTable> readChapterTable(BlockReader& file);

enum class ChapterFault : std::uint8_t {
    noChapters,    // the tag holds no chapter
    duplicateId,   // two chapters share the element id
    emptyChapter,  // the chapter ends where it starts, or before
    notRising,     // it starts no later than the chapter before it in play order
    pastTrackEnd,  // it starts or ends past the end of the track
};

// Why a chapter table cannot be followed, and which chapter shows it.
struct ChapterError {
    ChapterFault fault = ChapterFault::noChapters;
    std::string elementId;

    friend bool operator==(const ChapterError&, const ChapterError&) = default;
};

// The chapters in the order they play: the order of the top-level ordered
// table of contents when there is one (tables it lists are opened in place;
// ids that name nothing are passed over), otherwise, or when that table
// lists no chapter, every chapter by its start time. Refused when there is no chapter, when two
// chapters share an element id, or when a chapter in that order is empty, does not start after the
// one before it, or starts or ends past `trackEndMs`.
std::variant<std::vector<Id3v2Chapter>, ChapterError> chaptersInPlayOrder(Id3v2ChapterTable table,
                                                                          std::uint32_t trackEndMs);

}  // namespace snipwell::mp3
