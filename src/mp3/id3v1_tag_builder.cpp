#include "mp3/id3v1_tag_builder.h"

#include <algorithm>
#include <cstring>

namespace snipwell::mp3 {
namespace {

constexpr const char* kGenres[] = {"Blues",
                                   "Classic Rock",
                                   "Country",
                                   "Dance",
                                   "Disco",
                                   "Funk",
                                   "Grunge",
                                   "Hip-Hop",
                                   "Jazz",
                                   "Metal",
                                   "New Age",
                                   "Oldies",
                                   "Other",
                                   "Pop",
                                   "R&B",
                                   "Rap",
                                   "Reggae",
                                   "Rock",
                                   "Techno",
                                   "Industrial",
                                   "Alternative",
                                   "Ska",
                                   "Death Metal",
                                   "Pranks",
                                   "Soundtrack",
                                   "Euro-Techno",
                                   "Ambient",
                                   "Trip-Hop",
                                   "Vocal",
                                   "Jazz+Funk",
                                   "Fusion",
                                   "Trance",
                                   "Classical",
                                   "Instrumental",
                                   "Acid",
                                   "House",
                                   "Game",
                                   "Sound Clip",
                                   "Gospel",
                                   "Noise",
                                   "AlternRock",
                                   "Bass",
                                   "Soul",
                                   "Punk",
                                   "Space",
                                   "Meditative",
                                   "Instrumental Pop",
                                   "Instrumental Rock",
                                   "Ethnic",
                                   "Gothic",
                                   "Darkwave",
                                   "Techno-Industrial",
                                   "Electronic",
                                   "Pop-Folk",
                                   "Eurodance",
                                   "Dream",
                                   "Southern Rock",
                                   "Comedy",
                                   "Cult",
                                   "Gangsta",
                                   "Top 40",
                                   "Christian Rap",
                                   "Pop/Funk",
                                   "Jungle",
                                   "Native American",
                                   "Cabaret",
                                   "New Wave",
                                   "Psychadelic",
                                   "Rave",
                                   "Showtunes",
                                   "Trailer",
                                   "Lo-Fi",
                                   "Tribal",
                                   "Acid Punk",
                                   "Acid Jazz",
                                   "Polka",
                                   "Retro",
                                   "Musical",
                                   "Rock & Roll",
                                   "Hard Rock"};

// Offsets of the fields after "TAG".
constexpr std::size_t kTitle = 3;
constexpr std::size_t kArtist = 33;
constexpr std::size_t kAlbum = 63;
constexpr std::size_t kYear = 93;
constexpr std::size_t kTrackMarker = 125;
constexpr std::size_t kTrack = 126;
constexpr std::size_t kGenre = 127;

void putField(std::array<std::uint8_t, kId3v1Bytes>& tag, std::size_t at, std::size_t width,
              std::string_view utf8) {
    const std::string text = latin1Of(utf8);
    std::fill_n(tag.begin() + static_cast<std::ptrdiff_t>(at), width, std::uint8_t{0});
    std::memcpy(tag.data() + at, text.data(), std::min(width, text.size()));
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char ch) {
            return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string latin1Of(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80               ? 1
                             : (lead & 0xE0u) == 0xC0u ? 2
                             : (lead & 0xF0u) == 0xE0u ? 3
                                                       : 4;
        length = std::min(length, utf8.size() - i);
        if (length == 1) {
            out += lead < 0x80 ? static_cast<char>(lead) : '?';
        } else if (length == 2 && lead <= 0xC3) {
            const auto cp =
                ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out += static_cast<char>(cp);
        } else {
            out += '?';
        }
        i += length;
    }
    return out;
}

int id3v1GenreNumber(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kGenres); ++i) {
        if (sameName(name, kGenres[i])) return static_cast<int>(i);
    }
    return -1;
}

std::array<std::uint8_t, kId3v1Bytes> trackId3v1Tag(
    std::span<const std::uint8_t, kId3v1Bytes> source, const Id3v1Fields& fields) {
    std::array<std::uint8_t, kId3v1Bytes> tag{};
    std::copy(source.begin(), source.end(), tag.begin());
    putField(tag, kTitle, 30, fields.title);
    if (!fields.artist.empty()) putField(tag, kArtist, 30, fields.artist);
    if (!fields.album.empty()) putField(tag, kAlbum, 30, fields.album);
    if (!fields.year.empty()) putField(tag, kYear, 4, fields.year.substr(0, 4));
    if (fields.track >= 1 && fields.track <= 255) {
        // ID3v1.1: the comment gives up its last two bytes for a zero and the number.
        tag[kTrackMarker] = 0;
        tag[kTrack] = static_cast<std::uint8_t>(fields.track);
    }
    if (const int genre = id3v1GenreNumber(fields.genre); genre >= 0) {
        tag[kGenre] = static_cast<std::uint8_t>(genre);
    }
    return tag;
}

}  // namespace snipwell::mp3
