#pragma once
// Builds an ID3v2.4 tag from frames: a ten-byte header, the frames in the
// order they were added, each with a syncsafe size, and no padding (a split
// track is written once and never edited in place by us, and a tagger that
// adds frames later rewrites the file anyway).

#include <cstdint>
#include <string_view>
#include <vector>

#include "mp3/id3v2_frames.h"

namespace snipwell::mp3 {

class Id3v2TagBuilder {
public:
    // False, and the frame left out, when it would make the tag larger than
    // an ID3v2 size can state (256 MiB) or its id is not four characters.
    bool add(const Id3v2Frame& frame);
    bool addText(std::string_view id, std::string_view utf8) {
        return add(id3v2TextFrame(id, utf8));
    }

    bool empty() const { return frames_.empty(); }
    // The whole tag; an empty vector when no frame was added.
    std::vector<std::uint8_t> build() const;

private:
    std::vector<std::uint8_t> frames_;
};

}  // namespace snipwell::mp3
