#pragma once
// What a split reaches outside the Files service, and those services on the
// local disk: the length from the frame scan, the source's tags, the free
// space (statvfs) and the making of FOLDER.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cut/cut_command.h"
#include "cut/cut_failure.h"
#include "level/level_probe_failure.h"
#include "level/window_levels.h"
#include "split/source_levels.h"
#include "split/split_plan.h"
#include "split/track_tags.h"

namespace snipwell {

// The short-window levels of the whole source, for --silence and the trim:
// the level probe's scan, which decodes in processes of their own.
using LevelScanLookup = std::function<std::variant<level::WindowLevels, LevelProbeFailure>(
    const std::string& source, std::uint32_t windowSamples)>;

// What a split reaches outside the Files service; main() hands in the real
// ones, tests scripted ones.
struct SplitServices {
    // The source as a gapless decoder plays it, walked as the exact split
    // (`exactly`) or the byte-range split will walk it, or why it has no
    // such length or cannot be split so.
    std::function<CutResult<SourceLength>(const std::string& source, bool exactly)> measure;
    // The source's tags, or why they cannot be read.
    std::function<CutResult<SourceTags>(const std::string& source)> readTags;
    // Bytes free for an unprivileged writer where `folder` is, or would be
    // made; nullopt when the system does not say.
    std::function<std::optional<std::uint64_t>(const std::string& folder)> freeBytes;
    // Makes `folder` and any folder above it that is missing; nullopt once
    // it is there, or why it cannot be made.
    std::function<std::optional<CutFailure>(const std::string& folder)> makeFolder;
    // The clipping guard's analysis, for --gain max and --no-clip.
    ClipPeakLookup peakOf;
    // The levels --silence and the trim work from; refused when unset.
    LevelScanLookup scanLevels;
    // Whether the person asked the split to stop (Ctrl-C); never when unset.
    std::function<bool()> interrupted;
};

SplitServices diskSplitServices();

// The services' level scan of `source`, as the split's steps ask for it.
LevelScan levelScanOf(const SplitServices& services, const std::string& source);

// The source's ID3v2 frames and ID3v1 tag, read through the tag walk, or
// why the file cannot be read.
CutResult<SourceTags> readSourceTags(const std::string& path);

}  // namespace snipwell
