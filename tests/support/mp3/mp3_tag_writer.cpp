#include "support/mp3/mp3_tag_writer.h"

#include <stdexcept>
#include <string>

namespace snipwell::test {
namespace {

void append(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

void appendBigEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendLittleEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendSyncsafe32(Bytes& out, std::uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0x7F));
    }
}

// Noise with chains of five plausible MPEG-1 Layer III frames (128 kbit/s,
// 44.1 kHz, 417 bytes each) every 4000 bytes: enough in a row for a reader
// that does not step over the tag to believe it found audio.
Bytes syncLikeNoise(std::size_t size) {
    Bytes noise(size);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        noise[i] = static_cast<std::uint8_t>(state >> 16);
    }
    constexpr std::size_t fakeFrameBytes = 417;
    constexpr std::size_t framesPerChain = 5;
    for (std::size_t chain = 0; chain + fakeFrameBytes * framesPerChain <= size; chain += 4000) {
        for (std::size_t frame = 0; frame < framesPerChain; ++frame) {
            const std::size_t at = chain + frame * fakeFrameBytes;
            noise[at] = 0xFF;
            noise[at + 1] = 0xFB;
            noise[at + 2] = 0x90;
            noise[at + 3] = 0x64;
        }
    }
    return noise;
}

// A frame of version 2.3 or 2.4 (whose size is syncsafe), with its format
// flags.
void appendId3v2Frame(Bytes& tag, int version, const std::string& id, const Bytes& body,
                      std::uint8_t format = 0) {
    append(tag, id);
    if (version == 4) {
        appendSyncsafe32(tag, static_cast<std::uint32_t>(body.size()));
    } else {
        appendBigEndian(tag, static_cast<std::uint32_t>(body.size()), 4);
    }
    tag.push_back(0);
    tag.push_back(format);
    tag.insert(tag.end(), body.begin(), body.end());
}

void appendId3v23Frame(Bytes& tag, const std::string& id, const Bytes& body) {
    appendId3v2Frame(tag, 3, id, body);
}

// A zero byte after every 0xFF, as unsynchronisation writes it.
Bytes unsynchronised(const Bytes& bytes) {
    Bytes out;
    for (const std::uint8_t byte : bytes) {
        out.push_back(byte);
        if (byte == 0xFF) out.push_back(0);
    }
    return out;
}

void appendZeroEnded(Bytes& out, const std::string& text) {
    append(out, text);
    out.push_back(0);
}

Bytes chapterBody(const ChapterFrame& chapter, int version) {
    Bytes body;
    appendZeroEnded(body, chapter.elementId);
    appendBigEndian(body, chapter.startMs, 4);
    appendBigEndian(body, chapter.endMs, 4);
    appendBigEndian(body, chapter.startByte.value_or(0xFFFFFFFFu), 4);
    appendBigEndian(body, chapter.endByte.value_or(0xFFFFFFFFu), 4);
    if (chapter.title) {
        Bytes title{static_cast<std::uint8_t>(version == 4 ? 3 : 0)};  // UTF-8 or ISO-8859-1
        append(title, *chapter.title);
        appendId3v2Frame(body, version, "TIT2", title);
    }
    return body;
}

Bytes contentsBody(const ContentsFrame& contents) {
    Bytes body;
    appendZeroEnded(body, contents.elementId);
    body.push_back(
        static_cast<std::uint8_t>((contents.topLevel ? 2 : 0) | (contents.ordered ? 1 : 0)));
    body.push_back(static_cast<std::uint8_t>(contents.childIds.size()));
    for (const std::string& child : contents.childIds) appendZeroEnded(body, child);
    return body;
}

// Frame length of a 44.1 kHz MPEG-1 Layer III header, or 0 if it is not one.
std::size_t mpeg1Layer3FrameBytes(const std::uint8_t* header) {
    static constexpr std::uint32_t kbps[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                               112, 128, 160, 192, 224, 256, 320, 0};
    if (header[0] != 0xFF || (header[1] & 0xFE) != 0xFA || (header[2] & 0x0C) != 0) return 0;
    const std::uint32_t bitrate = kbps[header[2] >> 4];
    if (bitrate == 0) return 0;
    return 144 * bitrate * 1000 / 44100 + ((header[2] >> 1) & 1);
}

}  // namespace

Bytes id3v2TagWithPicture(std::size_t pictureBytes) {
    Bytes frames;
    Bytes title{0};
    append(title, "Two tones");
    appendId3v23Frame(frames, "TIT2", title);

    Bytes picture{0};  // text encoding
    append(picture, "image/jpeg");
    picture.push_back(0);
    picture.push_back(3);  // front cover
    picture.push_back(0);  // empty description
    const Bytes data = syncLikeNoise(pictureBytes);
    picture.insert(picture.end(), data.begin(), data.end());
    appendId3v23Frame(frames, "APIC", picture);

    Bytes tag;
    append(tag, "ID3");
    tag.push_back(3);
    tag.push_back(0);
    tag.push_back(0);
    appendSyncsafe32(tag, static_cast<std::uint32_t>(frames.size()));
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

Bytes id3v2ChapterTag(const ChapterTag& wanted) {
    const bool eachFrame = wanted.version == 4 && wanted.unsynchronised;
    const auto frame = [&](Bytes& frames, const std::string& id, const Bytes& body) {
        if (eachFrame) {
            appendId3v2Frame(frames, 4, id, unsynchronised(body), 0x02);
        } else {
            appendId3v2Frame(frames, wanted.version, id, body);
        }
    };
    Bytes frames;
    for (const ContentsFrame& contents : wanted.contents)
        frame(frames, "CTOC", contentsBody(contents));
    for (const ChapterFrame& chapter : wanted.chapters) {
        frame(frames, "CHAP", chapterBody(chapter, wanted.version));
    }
    const bool wholeTag = wanted.version == 3 && wanted.unsynchronised;
    if (wholeTag) frames = unsynchronised(frames);

    Bytes tag;
    append(tag, "ID3");
    tag.push_back(static_cast<std::uint8_t>(wanted.version));
    tag.push_back(0);
    tag.push_back(wanted.unsynchronised ? 0x80 : 0);
    appendSyncsafe32(tag, static_cast<std::uint32_t>(frames.size()));
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

Bytes id3v1Tag() {
    Bytes tag;
    append(tag, "TAG");
    const auto field = [&tag](const std::string& text, std::size_t width) {
        Bytes bytes(width, 0);
        for (std::size_t i = 0; i < text.size() && i < width; ++i)
            bytes[i] = static_cast<std::uint8_t>(text[i]);
        tag.insert(tag.end(), bytes.begin(), bytes.end());
    };
    field("Two tones", 30);
    field("Snipwell tests", 30);
    field("Fixtures", 30);
    field("2024", 4);
    field("\xFF\xFB\x90\x64 sync-like comment", 30);
    tag.push_back(12);  // genre
    return tag;
}

Bytes apeTag() {
    Bytes items;
    std::uint32_t itemCount = 0;
    const auto item = [&](const std::string& key, const Bytes& value) {
        appendLittleEndian32(items, static_cast<std::uint32_t>(value.size()));
        appendLittleEndian32(items, 0);
        append(items, key);
        items.push_back(0);
        items.insert(items.end(), value.begin(), value.end());
        ++itemCount;
    };
    item("Title", Bytes{'T', 'w', 'o', ' ', 't', 'o', 'n', 'e', 's'});
    item("Comment", syncLikeNoise(3000));

    const auto headerOrFooter = [&](bool isHeader) {
        Bytes block;
        append(block, "APETAGEX");
        appendLittleEndian32(block, 2000);
        appendLittleEndian32(block, static_cast<std::uint32_t>(items.size() + 32));
        appendLittleEndian32(block, itemCount);
        appendLittleEndian32(block, 0x80000000u | (isHeader ? 0x20000000u : 0u));
        block.resize(block.size() + 8, 0);
        return block;
    };
    Bytes tag = headerOrFooter(true);
    tag.insert(tag.end(), items.begin(), items.end());
    const Bytes footer = headerOrFooter(false);
    tag.insert(tag.end(), footer.begin(), footer.end());
    return tag;
}

Bytes withVbriFrame(const Bytes& stream) {
    std::uint32_t frames = 0;
    std::size_t at = 0;
    while (at + 4 <= stream.size()) {
        const std::size_t length = mpeg1Layer3FrameBytes(stream.data() + at);
        if (length == 0) break;
        ++frames;
        at += length;
    }
    if (frames == 0)
        throw std::runtime_error("no MPEG-1 Layer III frames to put a VBRI frame before");

    // 128 kbit/s, no padding: 417 bytes, enough for the VBRI fields.
    Bytes frame{0xFF, 0xFB, 0x90, stream[3]};
    frame.resize(36, 0);
    append(frame, "VBRI");
    appendBigEndian(frame, 1, 2);   // version
    appendBigEndian(frame, 0, 2);   // delay
    appendBigEndian(frame, 75, 2);  // quality
    appendBigEndian(frame, static_cast<std::uint32_t>(stream.size() + 417), 4);
    appendBigEndian(frame, frames, 4);
    appendBigEndian(frame, 0, 2);  // no table of contents
    appendBigEndian(frame, 1, 2);  // scale
    appendBigEndian(frame, 2, 2);  // bytes per table entry
    appendBigEndian(frame, 1, 2);  // frames per table entry
    frame.resize(417, 0);

    Bytes out = frame;
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

}  // namespace snipwell::test
