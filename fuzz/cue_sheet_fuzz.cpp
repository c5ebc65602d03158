// Any bytes as a cue sheet, and as a label file: the parsers must not crash,
// and what they accept must be what the split relies on. An accepted sheet
// has tracks whose numbers and INDEX 01 times rise, all of its text is
// UTF-8, and its plan over a source names every track inside the folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "split/cue_sheet.h"
#include "split/cue_sheet_source.h"
#include "split/label_file.h"
#include "split/label_file_source.h"
#include "split/sheet_text.h"
#include "split/split_plan.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkPlan(const std::vector<snipwell::TrackSpec>& specs, const snipwell::AlbumInfo& album) {
    // An hour at 44.1 kHz: times past it are refused, not planned.
    const snipwell::SourceLength source{44'100, 44'100ull * 3600};
    const auto planned = snipwell::planSplit(specs, album, source, "");
    if (const auto* plan = std::get_if<snipwell::SplitPlan>(&planned)) {
        std::uint64_t before = 0;
        for (const auto& track : plan->tracks) {
            check(track.beginSample >= before && track.endSample > track.beginSample);
            check(track.endSample <= source.samples);
            check(track.fileName.find('/') == std::string::npos && !track.fileName.empty());
            check(snipwell::isValidUtf8(track.fileName));
            before = track.endSample;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto sheet = snipwell::parseCueSheet(bytes);
    if (const auto* parsed = std::get_if<snipwell::CueSheet>(&sheet)) {
        check(!parsed->tracks.empty());
        check(snipwell::isValidUtf8(parsed->title) && snipwell::isValidUtf8(parsed->performer));
        for (std::size_t i = 0; i < parsed->tracks.size(); ++i) {
            const auto& track = parsed->tracks[i];
            check(track.begin.ticksPerSecond == 75 && track.begin.ticks >= 0);
            check(snipwell::isValidUtf8(track.title) && snipwell::isValidUtf8(track.performer));
            if (i > 0) {
                check(track.number > parsed->tracks[i - 1].number);
                check(parsed->tracks[i - 1].begin < track.begin);
            }
        }
        checkPlan(snipwell::tracksFromCueSheet(*parsed), snipwell::albumOf(*parsed));
    } else {
        check(std::get<snipwell::SheetError>(sheet).line >= 1);
    }

    const auto labels = snipwell::parseLabelFile(bytes);
    if (const auto* parsed = std::get_if<std::vector<snipwell::Label>>(&labels)) {
        for (const auto& label : *parsed) check(label.start <= label.end);
        checkPlan(snipwell::tracksFromLabels(*parsed), {});
    }
    return 0;
}
