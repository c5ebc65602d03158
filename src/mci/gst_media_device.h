#pragma once
// A media device that plays an MP3 file through a GStreamer playbin to the
// default audio output. When no audio output can be had, playbin's audio
// sink falls back to one that renders nothing against the clock, so
// positions still advance in real time.
//
// Nobody runs a GLib main loop for us: the pipeline's bus is polled at the
// start of every call, which is where the end of the track and errors are
// noticed.

#include <gst/gst.h>
#include <cstdint>

#include <string>

#include "mci/gst_owned.h"
#include "mci/media_device.h"

namespace snipwell::mci {

class GstMediaDevice final : public MediaDevice {
public:
    // Returns once the file is ready to play and its length is known.
    static DeviceOpenResult open(const std::string& path);
    // Loads GStreamer and its plugin registry ahead of the first open; false
    // when GStreamer cannot be had (open then says mediaSystemUnavailable).
    static bool initialise();

    ~GstMediaDevice() override;

    MciError play() override;
    MciError pause() override;
    MciError stop() override;
    MciError seekTo(std::int32_t ms) override;

    std::int64_t lengthMs() override;
    std::int64_t positionMs() override;
    DeviceMode mode() override;

private:
    GstMediaDevice(GstOwned<GstElement> playbin, std::int64_t lengthMs);

    void pollBus();
    void reachEnd();
    void breakDown();
    // Waits, bounded, for the pipeline to finish a state change or a seek.
    enum class Settling { settled, failed, timedOut };
    Settling settle();
    void haltAtCurrentPosition();
    void takePipelinePosition();
    // Stops playback and gives the pipeline a fresh audio output, ready at
    // the same place; the next play starts a new output stream.
    void rebuildOutput();
    void restartIfStalled(gint64 pipelinePositionNs);
    // Waits, bounded, until a just started output stream really runs.
    void waitForOutputToRun();

    GstOwned<GstElement> playbin_;
    GstOwned<GstBus> bus_;
    std::int64_t lengthMs_;
    std::int64_t lastPositionMs_ = 0;
    DeviceMode mode_ = DeviceMode::stopped;
    bool atEnd_ = false;
    // The pipeline's last answer while playing, and when it last changed.
    gint64 stallWatchPositionNs_ = -1;
    gint64 stallWatchSinceUs_ = 0;
    // Set when a seek halted a running stream: its restart is watched with
    // the short stall limit, once.
    bool quickStallWatch_ = false;
    // When the device last started playing.
    gint64 resumedAtUs_ = 0;
};

}  // namespace snipwell::mci
