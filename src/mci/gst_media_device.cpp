#include "mci/gst_media_device.h"

#include "mci/mp3_error_codes.h"
#include "mp3/length.h"

#include <gst/gst.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "mci/gst_owned.h"

namespace snipwell::mci {
namespace {

// How long the pipeline may take to get ready after an open or a seek. A
// local file prerolls in milliseconds; this only bounds a stuck pipeline.
constexpr GstClockTime settleTimeout = 10 * GST_SECOND;

// A sound server stream that stopped taking audio while the device plays
// would freeze the position for good (and with it a preview waiting for its
// end mark). Slow outputs take a second or two to start, so only a position
// frozen for longer than this counts as stalled.
constexpr gint64 stallAfterUs = 3 * G_USEC_PER_SEC;

// A stream that was running, halted for a seek and started again on the
// same output is served at once; one that shows no progress after this long
// has been left unserved by the sound server (it can happen when the halt,
// the flush and the restart follow each other within milliseconds) and is
// given a fresh output once.
constexpr gint64 quickStallAfterUs = 400 * 1000;

// Halting an output stream within milliseconds of resuming it can leave the
// sound server ignoring it for good, and playing from a mark does exactly
// that ("play", then at once "play from"). Letting the resumed stream run
// this long first avoids it; the cost is this much of the old place heard.
constexpr gint64 resumeSettleUs = 50 * 1000;
// How long to wait for an output stream that was just started to run.
constexpr gint64 outputStartTimeoutUs = 500 * 1000;

bool initialiseGStreamer() {
    static std::once_flag once;
    static bool initialised = false;
    std::call_once(once, [] { initialised = gst_init_check(nullptr, nullptr, nullptr) != FALSE; });
    return initialised;
}

bool busHasError(GstBus* bus) {
    return GstMessageOwned(gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) != nullptr;
}

}  // namespace

DeviceOpenResult GstMediaDevice::open(const std::string& path) {
    // The length comes from our own scan of the frames: exact for every kind
    // of MP3, where the pipeline's figure is missing or estimated for files
    // without an info frame. The scan also turns away what is no MP3 at all
    // before any pipeline is built.
    const auto measured = mp3::measureLength(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&measured)) return mciErrorOf(*error);
    const std::int64_t lengthMs = std::get<mp3::TrackLength>(measured).milliseconds();

    if (!initialiseGStreamer()) return MciError::mediaSystemUnavailable;
    GstOwned<GstElement> playbin(gst_element_factory_make("playbin", nullptr));
    if (!playbin) return MciError::mediaSystemUnavailable;
    gst_object_ref_sink(playbin.get());

    GCharOwned uri(gst_filename_to_uri(path.c_str(), nullptr));
    if (!uri) return MciError::fileNotFound;
    g_object_set(playbin.get(), "uri", uri.get(), nullptr);
    // Audio only: an embedded cover picture must not open a video window.
    gst_util_set_object_arg(G_OBJECT(playbin.get()), "flags", "audio+soft-volume");

    std::unique_ptr<GstMediaDevice> device(new GstMediaDevice(std::move(playbin), lengthMs));
    const Settling settling =
        gst_element_set_state(device->playbin_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE
            ? Settling::failed
            : device->settle();
    if (settling == Settling::timedOut) return MciError::mediaTimedOut;
    if (settling == Settling::failed || busHasError(device->bus_.get())) {
        return MciError::mediaFailedToOpen;
    }

    gint audioStreams = 0;
    g_object_get(device->playbin_.get(), "n-audio", &audioStreams, nullptr);
    if (audioStreams <= 0) return MciError::notMpegAudio;
    return std::unique_ptr<MediaDevice>(std::move(device));
}

bool GstMediaDevice::initialise() { return initialiseGStreamer(); }

GstMediaDevice::GstMediaDevice(GstOwned<GstElement> playbin, std::int64_t lengthMs)
    : playbin_(std::move(playbin)),
      bus_(gst_element_get_bus(playbin_.get())),
      lengthMs_(lengthMs) {}

// The pipeline is stopped before the handles let go of the bus and the playbin.
GstMediaDevice::~GstMediaDevice() { gst_element_set_state(playbin_.get(), GST_STATE_NULL); }

GstMediaDevice::Settling GstMediaDevice::settle() {
    switch (gst_element_get_state(playbin_.get(), nullptr, nullptr, settleTimeout)) {
        case GST_STATE_CHANGE_SUCCESS:
        case GST_STATE_CHANGE_NO_PREROLL: return Settling::settled;
        case GST_STATE_CHANGE_ASYNC: return Settling::timedOut;
        case GST_STATE_CHANGE_FAILURE: break;
    }
    return Settling::failed;
}

void GstMediaDevice::haltAtCurrentPosition() {
    gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
    takePipelinePosition();
}

void GstMediaDevice::takePipelinePosition() {
    // Just after "play" the sink may answer 0 until its clock runs. Playback
    // never moves backwards (a seek halts first and sets the position
    // itself), so an answer behind the last one is ignored.
    gint64 nanoseconds = 0;
    if (gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &nanoseconds) &&
        nanoseconds >= 0) {
        const std::int64_t queried = std::min<std::int64_t>(nanoseconds / GST_MSECOND, lengthMs_);
        lastPositionMs_ = std::max(lastPositionMs_, queried);
        restartIfStalled(nanoseconds);
    }
}

void GstMediaDevice::restartIfStalled(gint64 pipelinePositionNs) {
    const gint64 nowUs = g_get_monotonic_time();
    if (pipelinePositionNs != stallWatchPositionNs_) {
        // A moving position after the first reading: the stream runs.
        if (stallWatchPositionNs_ >= 0) quickStallWatch_ = false;
        stallWatchPositionNs_ = pipelinePositionNs;
        stallWatchSinceUs_ = nowUs;
        return;
    }
    if (nowUs - stallWatchSinceUs_ < (quickStallWatch_ ? quickStallAfterUs : stallAfterUs)) return;
    quickStallWatch_ = false;
    rebuildOutput();
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    gst_element_seek_simple(playbin_.get(), GST_FORMAT_TIME, flags, pipelinePositionNs);
    settle();
    gst_element_set_state(playbin_.get(), GST_STATE_PLAYING);
    resumedAtUs_ = stallWatchSinceUs_ = g_get_monotonic_time();
}

void GstMediaDevice::rebuildOutput() {
    // Back to READY closes the sound server stream; PAUSED opens a new one,
    // in tens of milliseconds. Only for a stream that stopped taking audio.
    gst_element_set_state(playbin_.get(), GST_STATE_READY);
    gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
    settle();
}

void GstMediaDevice::pollBus() {
    const auto wanted = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
    while (const GstMessageOwned message{gst_bus_pop_filtered(bus_.get(), wanted)}) {
        const GstMessageType type = GST_MESSAGE_TYPE(message.get());
        if (type == GST_MESSAGE_ERROR) {
            breakDown();
            return;
        }
        if (mode_ == DeviceMode::playing) reachEnd();
    }
}

void GstMediaDevice::reachEnd() {
    gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
    atEnd_ = true;
    lastPositionMs_ = lengthMs_;
    mode_ = DeviceMode::stopped;
}

void GstMediaDevice::breakDown() {
    // A pipeline that reported an error (the file vanished, the audio output
    // went away) cannot be trusted again; it is stopped for good and waits
    // to be closed.
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    mode_ = DeviceMode::notReady;
}

MciError GstMediaDevice::play() {
    pollBus();
    if (mode_ == DeviceMode::notReady) return MciError::deviceNotReady;
    if (mode_ == DeviceMode::playing || atEnd_) return MciError::ok;
    if (gst_element_set_state(playbin_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        breakDown();
        return MciError::deviceNotReady;
    }
    mode_ = DeviceMode::playing;
    resumedAtUs_ = g_get_monotonic_time();
    stallWatchPositionNs_ = -1;  // a stall is counted from this start, not the pause
    return MciError::ok;
}

MciError GstMediaDevice::pause() {
    pollBus();
    if (mode_ == DeviceMode::notReady) return MciError::deviceNotReady;
    quickStallWatch_ = false;
    if (mode_ == DeviceMode::playing) haltAtCurrentPosition();
    // A device at the end has nothing left to pause and stays stopped.
    if (!atEnd_) mode_ = DeviceMode::paused;
    return MciError::ok;
}

MciError GstMediaDevice::stop() {
    pollBus();
    if (mode_ == DeviceMode::notReady) return MciError::deviceNotReady;
    quickStallWatch_ = false;
    if (mode_ == DeviceMode::playing) haltAtCurrentPosition();
    mode_ = DeviceMode::stopped;
    return MciError::ok;
}

void GstMediaDevice::waitForOutputToRun() {
    // The output stream starts a little after play() returned, later still
    // on a busy machine. It counts as running once the position moves; then
    // it gets the settle time on top, counted from the play.
    const gint64 giveUpAt = g_get_monotonic_time() + outputStartTimeoutUs;
    gint64 firstNs = -1;
    while (g_get_monotonic_time() < giveUpAt) {
        gint64 nanoseconds = 0;
        if (gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &nanoseconds)) {
            if (firstNs < 0) {
                firstNs = nanoseconds;
            } else if (nanoseconds > firstNs) {
                break;
            }
        }
        g_usleep(2000);
    }
    const gint64 since = g_get_monotonic_time() - resumedAtUs_;
    if (since < resumeSettleUs) g_usleep(static_cast<gulong>(resumeSettleUs - since));
}

MciError GstMediaDevice::seekTo(std::int32_t ms) {
    pollBus();
    if (mode_ == DeviceMode::notReady) return MciError::deviceNotReady;
    if (mode_ == DeviceMode::playing) {
        // Playing from a mark sends "play" and then "play from" at once.
        waitForOutputToRun();
        gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
        quickStallWatch_ = true;
    }
    mode_ = DeviceMode::stopped;

    if (ms >= lengthMs_) {
        // Nothing plays from the very end; no need to ask the pipeline.
        atEnd_ = true;
        lastPositionMs_ = lengthMs_;
        return MciError::ok;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(playbin_.get(), GST_FORMAT_TIME, flags,
                                 static_cast<gint64>(ms) * GST_MSECOND) ||
        settle() != Settling::settled) {
        breakDown();
        return MciError::deviceNotReady;
    }
    // An end of stream posted before the flush belongs to the old position.
    while (GstMessageOwned{gst_bus_pop_filtered(bus_.get(), GST_MESSAGE_EOS)}) {}
    atEnd_ = false;
    lastPositionMs_ = ms;
    return MciError::ok;
}

std::int64_t GstMediaDevice::lengthMs() {
    pollBus();
    return lengthMs_;
}

std::int64_t GstMediaDevice::positionMs() {
    pollBus();
    if (atEnd_) return lengthMs_;
    if (mode_ != DeviceMode::playing) return lastPositionMs_;
    takePipelinePosition();
    return lastPositionMs_;
}

DeviceMode GstMediaDevice::mode() {
    pollBus();
    return mode_;
}

}  // namespace snipwell::mci
