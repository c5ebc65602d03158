#include "cut/chosen_split_source.h"

#include "split/chapter_source.h"
#include "split/cue_sheet_source.h"
#include "split/label_file_source.h"
#include "split/silence_source.h"
#include "split/split_times_source.h"
#include "split/track_length_source.h"

namespace snipwell {
namespace {

std::vector<SplitTime> splitTimes(const std::vector<std::int32_t>& milliseconds) {
    std::vector<SplitTime> points;
    points.reserve(milliseconds.size());
    for (const std::int32_t ms : milliseconds) points.push_back(SplitTime::fromMilliseconds(ms));
    return points;
}

}  // namespace

std::unique_ptr<SplitPointSource> chosenSplitSource(const CutArguments& arguments,
                                                    SourceLevels& levels) {
    switch (arguments.splitBy) {
        case SplitSource::cueSheet: return std::make_unique<CueSheetSource>(arguments.sheetPath);
        case SplitSource::labelFile: return std::make_unique<LabelFileSource>(arguments.sheetPath);
        case SplitSource::splitTimes:
            return std::make_unique<SplitTimesSource>(splitTimes(arguments.splitTimesMs));
        case SplitSource::trackLength:
            return std::make_unique<TrackLengthSource>(arguments.trackLengthMs);
        case SplitSource::silence:
            return std::make_unique<SilenceSource>(arguments.silence, levels);
        case SplitSource::chapters: return std::make_unique<ChapterSource>();
        case SplitSource::none: break;
    }
    return nullptr;
}

}  // namespace snipwell
