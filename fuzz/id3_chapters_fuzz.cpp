// Any bytes as an ID3v2 tag's chapters: the CHAP and CTOC reader must not
// crash or read past the tag, and a chapter list it puts in play order for a
// split must be one the split can follow: chapters that start later each
// time, end after they start and within the track, each id once.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "mp3/id3v2_chapters.h"

namespace {

using namespace snipwell::mp3;

constexpr std::uint32_t kHourMs = 3'600'000;

void check(bool condition) {
    if (!condition) std::abort();
}

void checkPlayOrder(Id3v2ChapterTable table) {
    const auto ordered = chaptersInPlayOrder(std::move(table), kHourMs);
    const auto* chapters = std::get_if<std::vector<Id3v2Chapter>>(&ordered);
    if (chapters == nullptr) return;
    check(!chapters->empty());
    std::set<std::string> ids;
    for (std::size_t i = 0; i < chapters->size(); ++i) {
        const Id3v2Chapter& chapter = (*chapters)[i];
        check(chapter.startMs < chapter.endMs && chapter.endMs <= kHourMs);
        if (i > 0) check((*chapters)[i - 1].startMs < chapter.startMs);
        check(ids.insert(chapter.elementId).second);
    }
}

// The input's first byte chooses the version (2.3 or 2.4) and the header
// flags; the rest is the tag's body, so that most inputs reach the frames.
std::vector<std::uint8_t> tagAround(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    const auto bodyBytes = static_cast<std::uint32_t>(size > 0 ? size - 1 : 0);
    std::vector<std::uint8_t> tag{'I', 'D',
                                  '3', static_cast<std::uint8_t>(3 + (choice & 1)),
                                  0,   static_cast<std::uint8_t>(choice & 0xC0u)};
    for (int shift = 21; shift >= 0; shift -= 7) {
        tag.push_back(static_cast<std::uint8_t>((bodyBytes >> shift) & 0x7Fu));
    }
    if (size > 0) tag.insert(tag.end(), data + 1, data + size);
    return tag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bytes as a whole tag, from a copy exactly their size so that
    // AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> whole(data, data + size);
    checkPlayOrder(readId3v2Chapters(whole));
    checkPlayOrder(readId3v2Chapters(tagAround(data, size)));
    return 0;
}
