#include "cut/cut_tracks.h"

#include <variant>

#include "common/runtime_error.h"
#include "cut/refusal_text.h"

namespace snipwell {
namespace {

bool bytesCouldCut(const exact::ExactCutRefusal& refusal) {
    if (refusal.kind != exact::ExactRefusalKind::unreadableSource) return false;
    const mp3::Mp3Fault fault = refusal.source.fault;
    return fault == mp3::Mp3Fault::freeFormat || fault == mp3::Mp3Fault::notLayer3 ||
           fault == mp3::Mp3Fault::streamChanges;
}

}  // namespace

std::string describeExactTrackRefusal(const exact::ExactCutRefusal& refusal,
                                      const std::string& source, ExactRefusalWording wording) {
    std::string reason = describeExactRefusal(refusal, source);
    if (wording == ExactRefusalWording::suggestingBytes && bytesCouldCut(refusal)) {
        reason += " (--bytes splits it by the byte-range rule instead)";
    }
    return reason;
}

CutTracks::CutTracks(const TrackJob& job, bool exactly, Files& files, ExactRefusalWording wording)
    : job_(job), exactly_(exactly), files_(files), wording_(wording) {
    if (!exactly_) bytes_.emplace(job_, files_);
}

void CutTracks::refuse(const exact::ExactCutRefusal& refusal) const {
    throw RuntimeError(ErrorKind::FileError,
                       describeExactTrackRefusal(refusal, job_.sourcePath, wording_));
}

exact::ExactTracks& CutTracks::exactTracks() {
    if (!exact_) {
        auto opened = exact::ExactTracks::open(job_);
        if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&opened)) refuse(*refusal);
        exact_.emplace(std::move(std::get<exact::ExactTracks>(opened)));
    }
    return *exact_;
}

TrackSourceBytes CutTracks::sourceBytesOf(std::size_t index) {
    if (bytes_) return bytes_->sourceBytesOf(index);
    auto bytes = exactTracks().sourceBytesOf(index);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&bytes)) refuse(*refusal);
    return std::get<TrackSourceBytes>(bytes);
}

void CutTracks::write(const TrackCallbacks& callbacks) {
    if (bytes_) {
        try {
            bytes_->write(callbacks);
        } catch (const ByteRangeSourceError& error) {
            throw RuntimeError(ErrorKind::FileError,
                               describeSourceError(error.error(), job_.sourcePath));
        }
        return;
    }
    auto written = exactTracks().write(files_, callbacks);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&written)) refuse(*refusal);
}

}  // namespace snipwell
