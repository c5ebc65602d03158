#pragma once
// The frames of an ID3v2 tag, read into the form ID3v2.4 writes them, so a
// tag of any version can be carried into a new ID3v2.4 tag: version 2.2's
// three-letter frames get their four-letter names (PIC becomes APIC),
// version 2.3's flags are moved to where 2.4 keeps them, and
// unsynchronisation of the whole tag or of a frame is undone.
//
// Left out, because they cannot be carried over as they are: compressed or
// encrypted frames, and 2.2 frames with no 2.4 counterpart. Reading is
// lenient: it stops at the padding or at the first frame that does not fit
// in the tag, and keeps what it read before.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace snipwell::mp3 {

// ID3v2.4 frame flags that survive the reading.
inline constexpr std::uint16_t kDiscardWhenTagAltered = 0x4000;
inline constexpr std::uint16_t kDiscardWhenAudioAltered = 0x2000;
inline constexpr std::uint16_t kReadOnlyFrame = 0x1000;
inline constexpr std::uint16_t kGroupedFrame = 0x0040;  // the body starts with a group byte

struct Id3v2Frame {
    std::string id;  // four characters
    std::uint16_t flags = 0;
    std::vector<std::uint8_t> body;
};

// `tag` holds one whole tag, from its "ID3" header to its end.
std::vector<Id3v2Frame> readId3v2Frames(std::span<const std::uint8_t> tag);

// The frames embedded in another frame's body (the title of a chapter, for
// one), laid out as the frames of a tag of version `major` (3 or 4) are;
// nothing for other versions.
std::vector<Id3v2Frame> readEmbeddedId3v2Frames(std::span<const std::uint8_t> frames, int major);

// The first text a text frame (T…, but not TXXX) holds, as UTF-8; nullopt
// for other frames or text in no encoding ID3v2 knows.
std::optional<std::string> id3v2FrameText(const Id3v2Frame& frame);

// A text frame as ID3v2.4 writes it: UTF-8, one text.
Id3v2Frame id3v2TextFrame(std::string_view id, std::string_view utf8);

}  // namespace snipwell::mp3
