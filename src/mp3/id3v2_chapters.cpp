#include "mp3/id3v2_chapters.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "mp3/byte_order.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {
namespace {

// A chapter's byte offsets hold this when the tag does not give them.
constexpr std::uint32_t kNoByteOffset = 0xFFFFFFFFu;
constexpr std::size_t kChapterFieldsBytes = 16;  // start, end, start byte, end byte
constexpr std::uint8_t kTopLevelTable = 0x02;
constexpr std::uint8_t kOrderedTable = 0x01;

// Reads the zero-ended element id at the front of `body` and moves `body`
// past it; nullopt when there is no zero byte. Ids are ISO-8859-1.
std::optional<std::string> takeElementId(std::span<const std::uint8_t>& body) {
    const auto end = std::find(body.begin(), body.end(), std::uint8_t{0});
    if (end == body.end()) return std::nullopt;
    std::string id;
    for (auto at = body.begin(); at != end; ++at) {
        if (*at < 0x80) {
            id += static_cast<char>(*at);
        } else {
            id += static_cast<char>(0xC0u | (*at >> 6));
            id += static_cast<char>(0x80u | (*at & 0x3Fu));
        }
    }
    body = body.subspan(static_cast<std::size_t>(end - body.begin()) + 1);
    return id;
}

// The body without the group byte a grouped frame starts with.
std::span<const std::uint8_t> bodyOf(const Id3v2Frame& frame) {
    std::span<const std::uint8_t> body = frame.body;
    if ((frame.flags & kGroupedFrame) != 0)
        body = body.subspan(std::min<std::size_t>(1, body.size()));
    return body;
}

std::optional<std::uint32_t> byteOffset(const std::uint8_t* field) {
    const std::uint32_t value = readBigEndian32(field);
    return value == kNoByteOffset ? std::nullopt : std::optional<std::uint32_t>(value);
}

std::optional<Id3v2Chapter> chapterFrom(const Id3v2Frame& frame, int major) {
    std::span<const std::uint8_t> body = bodyOf(frame);
    auto id = takeElementId(body);
    if (!id || body.size() < kChapterFieldsBytes) return std::nullopt;
    Id3v2Chapter chapter;
    chapter.elementId = std::move(*id);
    chapter.startMs = readBigEndian32(body.data());
    chapter.endMs = readBigEndian32(body.data() + 4);
    chapter.startByte = byteOffset(body.data() + 8);
    chapter.endByte = byteOffset(body.data() + 12);
    chapter.frames = readEmbeddedId3v2Frames(body.subspan(kChapterFieldsBytes), major);
    for (const Id3v2Frame& inner : chapter.frames) {
        if (inner.id != "TIT2") continue;
        chapter.title = id3v2FrameText(inner);
        if (chapter.title) break;
    }
    return chapter;
}

// A table whose child list is cut short keeps the children it names whole.
std::optional<Id3v2TableOfContents> contentsFrom(const Id3v2Frame& frame) {
    std::span<const std::uint8_t> body = bodyOf(frame);
    auto id = takeElementId(body);
    if (!id || body.size() < 2) return std::nullopt;
    Id3v2TableOfContents table;
    table.elementId = std::move(*id);
    table.topLevel = (body[0] & kTopLevelTable) != 0;
    table.ordered = (body[0] & kOrderedTable) != 0;
    const std::uint8_t count = body[1];
    body = body.subspan(2);
    for (std::uint8_t child = 0; child < count; ++child) {
        auto childId = takeElementId(body);
        if (!childId) break;
        table.childIds.push_back(std::move(*childId));
    }
    return table;
}

std::optional<std::vector<std::uint8_t>> bytesOf(BlockReader& file, const ByteSpan& span) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(span.size()));
    for (std::uint64_t at = span.begin; at < span.end;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(span.end - at, BlockReader::maxSpan));
        const std::uint8_t* data = file.bytesAt(at, piece);
        if (data == nullptr) return std::nullopt;
        bytes.insert(bytes.end(), data, data + piece);
        at += piece;
    }
    return bytes;
}

// The chapters the top-level ordered table lists, with the tables it lists
// opened in place, each table once; nullopt when there is no such table.
std::optional<std::vector<std::size_t>> listedOrder(
    const Id3v2ChapterTable& table, const std::map<std::string, std::size_t>& chapterAt) {
    const auto top = std::find_if(table.contents.begin(), table.contents.end(),
                                  [](const auto& toc) { return toc.topLevel && toc.ordered; });
    if (top == table.contents.end()) return std::nullopt;
    std::map<std::string, const Id3v2TableOfContents*> tableNamed;
    for (const auto& toc : table.contents) tableNamed.emplace(toc.elementId, &toc);

    std::vector<std::size_t> order;
    std::set<std::string> opened{top->elementId};
    // Each entry is a table and the next of its children to visit.
    std::vector<std::pair<const Id3v2TableOfContents*, std::size_t>> stack{{&*top, 0}};
    while (!stack.empty()) {
        auto& [toc, next] = stack.back();
        if (next == toc->childIds.size()) {
            stack.pop_back();
            continue;
        }
        const std::string& child = toc->childIds[next++];
        if (const auto chapter = chapterAt.find(child); chapter != chapterAt.end()) {
            order.push_back(chapter->second);
        } else if (const auto inner = tableNamed.find(child);
                   inner != tableNamed.end() && opened.insert(child).second) {
            stack.emplace_back(inner->second, 0);
        }
    }
    return order;
}

std::optional<ChapterError> problemIn(const std::vector<Id3v2Chapter>& chapters,
                                      std::uint32_t trackEndMs) {
    if (chapters.empty()) return ChapterError{ChapterFault::noChapters, {}};
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const Id3v2Chapter& chapter = chapters[i];
        if (chapter.endMs <= chapter.startMs)
            return ChapterError{ChapterFault::emptyChapter, chapter.elementId};
        if (i > 0 && chapter.startMs <= chapters[i - 1].startMs)
            return ChapterError{ChapterFault::notRising, chapter.elementId};
        if (chapter.endMs > trackEndMs)
            return ChapterError{ChapterFault::pastTrackEnd, chapter.elementId};
    }
    return std::nullopt;
}

}  // namespace

Id3v2ChapterTable readId3v2Chapters(std::span<const std::uint8_t> tag) {
    Id3v2ChapterTable table;
    if (tag.size() < id3v2HeaderBytes) return table;
    const int major = tag[3];
    for (const Id3v2Frame& frame : readId3v2Frames(tag)) {
        if (frame.id == "CHAP") {
            if (auto chapter = chapterFrom(frame, major))
                table.chapters.push_back(std::move(*chapter));
        } else if (frame.id == "CTOC") {
            if (auto contents = contentsFrom(frame)) table.contents.push_back(std::move(*contents));
        }
    }
    return table;
}

Mp3Result<Id3v2ChapterTable> readChapterTable(BlockReader& file) {
    Id3v2ChapterTable table;
    for (const ByteSpan& span : findTagLayout(file).id3v2Tags) {
        const auto bytes = bytesOf(file, span);
        if (!bytes) return file.failure().value_or(Mp3Error{Mp3Fault::changed, span.begin});
        Id3v2ChapterTable more = readId3v2Chapters(*bytes);
        std::move(more.chapters.begin(), more.chapters.end(), std::back_inserter(table.chapters));
        std::move(more.contents.begin(), more.contents.end(), std::back_inserter(table.contents));
    }
    return table;
}

std::variant<std::vector<Id3v2Chapter>, ChapterError> chaptersInPlayOrder(
    Id3v2ChapterTable table, std::uint32_t trackEndMs) {
    std::map<std::string, std::size_t> chapterAt;
    for (std::size_t i = 0; i < table.chapters.size(); ++i) {
        if (!chapterAt.emplace(table.chapters[i].elementId, i).second)
            return ChapterError{ChapterFault::duplicateId, table.chapters[i].elementId};
    }
    std::vector<Id3v2Chapter> ordered;
    const auto listed = listedOrder(table, chapterAt);
    if (listed && !listed->empty()) {
        for (const std::size_t at : *listed) ordered.push_back(table.chapters[at]);
    } else {
        ordered = std::move(table.chapters);
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const auto& a, const auto& b) { return a.startMs < b.startMs; });
    }
    if (auto problem = problemIn(ordered, trackEndMs)) return *std::move(problem);
    return ordered;
}

}  // namespace snipwell::mp3
