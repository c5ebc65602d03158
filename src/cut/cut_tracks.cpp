#include "cut/cut_tracks.h"

#include <stdexcept>
#include <utility>
#include <variant>

#include "clip/export/export_refusal.h"
#include "common/runtime_error.h"

namespace snipwell {

CutTracks::CutTracks(const TrackJob& job, bool exactly, Files& files, ExactRefusalWording wording)
    : job_(job), exactly_(exactly), files_(files), wording_(wording) {
    if (!exactly_) bytes_.emplace(job_, files_);
}

CutFailure CutTracks::failed(CutCause why) const {
    return failureOf(std::move(why), job_.sourcePath);
}

CutFailure CutTracks::refused(const exact::ExactCutRefusal& refusal) const {
    return failed(ExactFailure{refusal, wording_});
}

CutResult<exact::ExactTracks*> CutTracks::exactTracks() {
    if (!exact_) {
        auto opened = exact::ExactTracks::open(job_);
        if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&opened)) {
            return refused(*refusal);
        }
        exact_.emplace(std::move(std::get<exact::ExactTracks>(opened)));
    }
    return &*exact_;
}

CutResult<TrackSourceBytes> CutTracks::sourceBytesOf(std::size_t index) {
    if (bytes_) {
        try {
            return bytes_->sourceBytesOf(index);
        } catch (const ExportRefusal& refusal) {
            return failed(refusal);
        } catch (const RuntimeError& error) {
            return failed(RuntimeFault{error.what()});
        }
    }
    auto opened = exactTracks();
    if (auto* failure = std::get_if<CutFailure>(&opened)) return std::move(*failure);
    auto bytes = std::get<exact::ExactTracks*>(opened)->sourceBytesOf(index);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&bytes)) return refused(*refusal);
    return std::get<TrackSourceBytes>(bytes);
}

std::optional<CutFailure> CutTracks::write(const TrackCallbacks& callbacks) {
    try {
        if (bytes_) {
            bytes_->write(callbacks);
            return std::nullopt;
        }
        auto opened = exactTracks();
        if (auto* failure = std::get_if<CutFailure>(&opened)) return std::move(*failure);
        auto written = std::get<exact::ExactTracks*>(opened)->write(files_, callbacks);
        if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&written)) {
            return refused(*refusal);
        }
        return std::nullopt;
    } catch (const ExportRefusal& refusal) {
        return failed(refusal);
    } catch (const RuntimeError& error) {
        return failed(RuntimeFault{error.what()});
    } catch (const JobInterrupted&) {
        return failed(CommandRefusal(CommandRefusalKind::interrupted));
    } catch (const std::runtime_error& error) {  // the system's, such as a thread not started
        return failed(RuntimeFault{error.what()});
    }
}

}  // namespace snipwell
