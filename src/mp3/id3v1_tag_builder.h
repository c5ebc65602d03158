#pragma once
// A 128-byte ID3v1.1 tag for one track, made from the source's own: the
// fields the track knows replace the source's, cut to what the tag holds
// (30 bytes of Latin-1 text; a character Latin-1 lacks becomes '?'), and
// the rest, the comment and the genre among them, stay as they were.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace snipwell::mp3 {

inline constexpr std::size_t kId3v1Bytes = 128;

// Empty strings and a track number of 0 leave the source's field as it is.
struct Id3v1Fields {
    std::string title;  // always replaced: the source's title is the whole file's
    std::string artist;
    std::string album;
    std::string year;   // the first four characters
    std::string genre;  // a genre name; kept from the source when ID3v1 has no number for it
    int track = 0;      // 1–255
};

// `source` is the source's tag (128 bytes starting "TAG").
std::array<std::uint8_t, kId3v1Bytes> trackId3v1Tag(
    std::span<const std::uint8_t, kId3v1Bytes> source, const Id3v1Fields& fields);

// The ID3v1 number of a genre name (any case), or -1.
int id3v1GenreNumber(std::string_view name);

// UTF-8 as Latin-1, '?' for what Latin-1 cannot hold.
std::string latin1Of(std::string_view utf8);

}  // namespace snipwell::mp3
