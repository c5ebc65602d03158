#include "mp3/id3v2_frames.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace snipwell::mp3 {
namespace {

constexpr std::size_t kTagHeaderBytes = 10;

std::uint32_t bigEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

std::uint32_t syncsafe(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

// Takes out the zero byte that unsynchronisation put after every 0xFF.
std::vector<std::uint8_t> resynchronised(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) ++i;
    }
    return out;
}

struct TwoTwoName {
    const char* from;
    const char* to;
};

// The 2.2 frames worth keeping, by their 2.4 names. TYE (the year) becomes
// TDRC, which 2.4 uses for the recording date.
constexpr std::array<TwoTwoName, 24> kTwoTwoNames{{
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"},
    {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TAL", "TALB"}, {"TRK", "TRCK"}, {"TPA", "TPOS"},
    {"TYE", "TDRC"}, {"TCO", "TCON"}, {"TCM", "TCOM"}, {"TXT", "TEXT"}, {"TPB", "TPUB"},
    {"TEN", "TENC"}, {"TSS", "TSSE"}, {"TCR", "TCOP"}, {"TBP", "TBPM"}, {"TLA", "TLAN"},
    {"TXX", "TXXX"}, {"COM", "COMM"}, {"ULT", "USLT"}, {"WXX", "WXXX"},
}};

// A 2.2 picture has a three-letter image format where 2.4 has a MIME type.
std::vector<std::uint8_t> pictureBody(std::span<const std::uint8_t> body) {
    if (body.size() < 5) return {};
    std::string format(reinterpret_cast<const char*>(body.data() + 1), 3);
    for (char& ch : format) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    const std::string mime = format == "jpg" ? "image/jpeg" : "image/" + format;
    std::vector<std::uint8_t> out{body[0]};
    out.insert(out.end(), mime.begin(), mime.end());
    out.push_back(0);
    out.insert(out.end(), body.begin() + 4, body.end());
    return out;
}

void readTwoTwoFrames(std::span<const std::uint8_t> frames, std::vector<Id3v2Frame>& out) {
    std::size_t at = 0;
    while (at + 6 <= frames.size() && frames[at] != 0) {
        const std::size_t size = bigEndian(frames.data() + at + 3, 3);
        if (size > frames.size() - at - 6) return;
        const std::string id(reinterpret_cast<const char*>(frames.data() + at), 3);
        const auto body = frames.subspan(at + 6, size);
        if (id == "PIC") {
            out.push_back({"APIC", 0, pictureBody(body)});
        } else {
            for (const TwoTwoName& name : kTwoTwoNames) {
                if (id == name.from) out.push_back({name.to, 0, {body.begin(), body.end()}});
            }
        }
        at += 6 + size;
    }
}

bool isFrameId(const std::uint8_t* id) {
    for (int i = 0; i < 4; ++i) {
        const bool ok = (id[i] >= 'A' && id[i] <= 'Z') || (id[i] >= '0' && id[i] <= '9');
        if (!ok) return false;
    }
    return true;
}

// A 2.3 frame's body and flags in 2.4 form; nullopt for a compressed or
// encrypted frame. 2.3: status abc00000, format ijk00000 (compression,
// encryption, grouping); 2.4: status 0abc0000, format 0h00kmnp.
std::optional<Id3v2Frame> fromTwoThree(const std::uint8_t* header,
                                       std::span<const std::uint8_t> body) {
    const std::uint8_t status = header[8];
    const std::uint8_t format = header[9];
    if ((format & 0xC0u) != 0) return std::nullopt;
    auto flags = static_cast<std::uint16_t>(((status & 0xE0u) >> 1) << 8);
    if ((format & 0x20u) != 0) flags |= kGroupedFrame;
    return Id3v2Frame{
        std::string(reinterpret_cast<const char*>(header), 4), flags, {body.begin(), body.end()}};
}

// A 2.4 frame with its own unsynchronisation undone and its data length
// indicator (which follows the group byte) taken out; nullopt for a
// compressed or encrypted frame.
std::optional<Id3v2Frame> fromTwoFour(const std::uint8_t* header,
                                      std::span<const std::uint8_t> body) {
    const std::uint8_t status = header[8];
    const std::uint8_t format = header[9];
    if ((format & 0x0Cu) != 0) return std::nullopt;
    auto flags = static_cast<std::uint16_t>((status & 0x70u) << 8);
    if ((format & 0x40u) != 0) flags |= kGroupedFrame;
    std::vector<std::uint8_t> bytes = (format & 0x02u) != 0
                                          ? resynchronised(body)
                                          : std::vector<std::uint8_t>(body.begin(), body.end());
    const std::size_t groupBytes = (format & 0x40u) != 0 ? 1 : 0;
    if ((format & 0x01u) != 0) {
        if (bytes.size() < groupBytes + 4) return std::nullopt;
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(groupBytes),
                    bytes.begin() + static_cast<std::ptrdiff_t>(groupBytes + 4));
    }
    return Id3v2Frame{std::string(reinterpret_cast<const char*>(header), 4), flags,
                      std::move(bytes)};
}

// 2.3 and 2.4 frames. `major` says where the flags and the size are.
void readFrames(std::span<const std::uint8_t> frames, int major, std::vector<Id3v2Frame>& out) {
    std::size_t at = 0;
    while (at + 10 <= frames.size() && isFrameId(frames.data() + at)) {
        const std::uint8_t* header = frames.data() + at;
        const std::size_t size = major == 3 ? bigEndian(header + 4, 4) : syncsafe(header + 4);
        if (size > frames.size() - at - 10) return;
        const auto body = frames.subspan(at + 10, size);
        at += 10 + size;
        auto frame = major == 3 ? fromTwoThree(header, body) : fromTwoFour(header, body);
        if (frame) out.push_back(std::move(*frame));
    }
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0u | (cp >> 6));
        out += static_cast<char>(0x80u | (cp & 0x3Fu));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0u | (cp >> 12));
        out += static_cast<char>(0x80u | ((cp >> 6) & 0x3Fu));
        out += static_cast<char>(0x80u | (cp & 0x3Fu));
    } else {
        out += static_cast<char>(0xF0u | (cp >> 18));
        out += static_cast<char>(0x80u | ((cp >> 12) & 0x3Fu));
        out += static_cast<char>(0x80u | ((cp >> 6) & 0x3Fu));
        out += static_cast<char>(0x80u | (cp & 0x3Fu));
    }
}

std::optional<std::string> utf16Text(std::span<const std::uint8_t> bytes, bool bigEndianOrder) {
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<std::uint32_t>(bigEndianOrder ? (bytes[i] << 8) | bytes[i + 1]
                                                              : (bytes[i + 1] << 8) | bytes[i]);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const auto low =
                static_cast<std::uint32_t>(bigEndianOrder ? (bytes[i + 2] << 8) | bytes[i + 3]
                                                          : (bytes[i + 3] << 8) | bytes[i + 2]);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        appendUtf8(out, unit);
    }
    return out;
}

}  // namespace

std::vector<Id3v2Frame> readId3v2Frames(std::span<const std::uint8_t> tag) {
    std::vector<Id3v2Frame> frames;
    if (tag.size() < kTagHeaderBytes || std::memcmp(tag.data(), "ID3", 3) != 0) return frames;
    const int major = tag[3];
    const std::uint8_t flags = tag[5];
    const std::size_t bodyBytes =
        std::min<std::size_t>(syncsafe(tag.data() + 6), tag.size() - kTagHeaderBytes);
    auto body = tag.subspan(kTagHeaderBytes, bodyBytes);
    if (major < 2 || major > 4) return frames;
    if (major == 2 && (flags & 0x40u) != 0) return frames;  // a compressed 2.2 tag

    std::vector<std::uint8_t> whole;
    if (major < 4 && (flags & 0x80u) != 0) {
        whole = resynchronised(body);
        body = whole;
    }
    if (major >= 3 && (flags & 0x40u) != 0 && body.size() >= 4) {
        // The extended header: its size leaves itself out in 2.3 and counts
        // itself in 2.4.
        const std::size_t extended =
            major == 3 ? bigEndian(body.data(), 4) + 4u : syncsafe(body.data());
        if (extended > body.size()) return frames;
        body = body.subspan(extended);
    }
    if (major == 2) {
        readTwoTwoFrames(body, frames);
    } else {
        readFrames(body, major, frames);
    }
    return frames;
}

std::vector<Id3v2Frame> readEmbeddedId3v2Frames(std::span<const std::uint8_t> frames, int major) {
    std::vector<Id3v2Frame> out;
    if (major == 3 || major == 4) readFrames(frames, major, out);
    return out;
}

std::optional<std::string> id3v2FrameText(const Id3v2Frame& frame) {
    if (frame.id.empty() || frame.id[0] != 'T' || frame.id == "TXXX") return std::nullopt;
    std::span<const std::uint8_t> body = frame.body;
    if ((frame.flags & kGroupedFrame) != 0)
        body = body.subspan(std::min<std::size_t>(1, body.size()));
    if (body.empty()) return std::nullopt;
    const std::uint8_t encoding = body[0];
    const auto text = body.subspan(1);
    switch (encoding) {
        case 0: {
            std::string out;
            for (const std::uint8_t byte : text) {
                if (byte == 0) break;
                appendUtf8(out, byte);
            }
            return out;
        }
        case 1:
            if (text.size() >= 2 && text[0] == 0xFE && text[1] == 0xFF)
                return utf16Text(text.subspan(2), true);
            if (text.size() >= 2 && text[0] == 0xFF && text[1] == 0xFE)
                return utf16Text(text.subspan(2), false);
            return utf16Text(text, false);
        case 2: return utf16Text(text, true);
        case 3: {
            const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
            return std::string(text.begin(), end);
        }
        default: return std::nullopt;
    }
}

Id3v2Frame id3v2TextFrame(std::string_view id, std::string_view utf8) {
    Id3v2Frame frame;
    frame.id = std::string(id);
    frame.body.reserve(utf8.size() + 1);
    frame.body.push_back(3);  // UTF-8
    frame.body.insert(frame.body.end(), utf8.begin(), utf8.end());
    return frame;
}

}  // namespace snipwell::mp3
