#pragma once
// What the track engine writes: one or more tracks cut from one source, each
// into a file of its own through Files::createTarget. A single clip is a job
// of one track; a split is a job of many, written in one walk over the
// source. The exact engine (clip/exact/exact_tracks.h) and the byte-range
// engine (clip/export/byte_range_tracks.h) take the same job.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mp3/gain_plan.h"
#include "mp3/id3v1_tag_builder.h"

namespace snipwell {

struct TrackToWrite {
    // The marks: [beginMs, endMs) of the source. The byte-range engine cuts
    // by them; the exact engine too, as samples ⌊ms · rate / 1000⌋, unless
    // the job counts its tracks in samples.
    std::int64_t beginMs = 0;
    std::int64_t endMs = 0;
    // The samples the track plays, [beginSample, endSample), where the job
    // has a sample rate (TrackJob::sampleRate).
    std::uint64_t beginSample = 0;
    std::uint64_t endSample = 0;
    // The track's length as its tag states it.
    std::int64_t milliseconds = 0;
    std::string targetPath;
    // Louder, quieter or faded (none by default).
    mp3::GainSettings gain{};
};

// The tags an exact track starts and ends with.
struct TrackTagBytes {
    std::vector<std::uint8_t> id3v2;
    std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> id3v1;
};

// When the tracks go onto the disk under their names.
enum class TrackCommits : std::uint8_t {
    // Once the walk has checked the whole source: a source found damaged
    // after a track's last frame leaves no track. For a source not walked
    // before (a single clip).
    afterTheWalk,
    // Each as soon as it is complete, while the walk goes on, so a failure
    // later keeps the tracks before it. For a source already walked once (a
    // split, whose plan measured it).
    asTheyFinish,
};

struct TrackJob {
    std::string sourcePath;
    std::vector<TrackToWrite> tracks;  // in the order they play, none before the one before
    // The rate the tracks' samples count at, which the source must have; 0
    // when the tracks are given by their marks alone.
    std::uint32_t sampleRate = 0;
    // The source's length, for a byte range of a source whose frames cannot
    // be followed.
    std::int64_t sourceLengthMs = 0;
    // The tags of the exact track at `index`, made when the track is begun;
    // unset, each track keeps the source's own tags (a length frame updated).
    std::function<TrackTagBytes(std::size_t index)> tagsOf;
    TrackCommits commits = TrackCommits::afterTheWalk;
};

struct TrackCallbacks {
    // The work done so far: the exact engine tells how far into the source
    // its walk is, in bytes of the whole file; the byte-range engine the
    // bytes copied, out of those of the tracks begun so far.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // Byte-range tracks only: the track at `index` is about to be copied,
    // `bytes` of it.
    std::function<void(std::size_t index, std::uint64_t bytes)> copyStarts;
    // After the track at `index` is committed, with its size in bytes.
    std::function<void(std::size_t index, std::uint64_t bytes)> saved;
    // With a gain, before the track at `index` is committed: how many of its
    // granule gains had to be clamped to 0…255.
    std::function<void(std::size_t index, std::uint64_t clampedGranules)> clamped;
    // Before a failure is told: the track at `index` is the one it befell.
    // Where it is not called, the first track not reported `saved` is the one.
    std::function<void(std::size_t index)> failed;
};

// Where in its source a track's audio lies: the bytes the clipping guard
// decodes to learn the track's peak before the track is written.
struct TrackSourceBytes {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

}  // namespace snipwell
