// How long the window goes without handling its events while a Save ends:
// the headless window's Save in real time into a real file, with the longest
// stretch between two passes of its event pump, and, as the reference in the
// same run, how long the clip's final sync and rename took on their own
// (what the window stood still for when they ran on its thread).
//
//   save_sync_gap_bench SOURCE LENGTH_MS BEGIN_MS END_MS TARGET
// prints: save_seconds longest_gap_ms commit_ms

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/form1.h"
#include "clip/export/disk_files.h"
#include "support/headless_window.h"
#include "support/scripted_media_service.h"

namespace {

using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// The headless window, noting the longest time between two pumps.
class TimedWindow : public snipwell::test::HeadlessWindow {
public:
    void pumpEvents() override {
        const auto now = Steady::now();
        if (pumped_) {
            longestGapMs = std::max(longestGapMs,
                                    std::chrono::duration<double, std::milli>(now - last_).count());
        }
        pumped_ = true;
        last_ = now;
        HeadlessWindow::pumpEvents();
    }
    double longestGapMs = 0;

private:
    bool pumped_ = false;
    Steady::time_point last_;
};

// The disk, with the time each clip's commit takes.
class TimedCommitFiles : public snipwell::DiskFiles {
public:
    std::unique_ptr<snipwell::ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(DiskFiles::createTarget(path), commitMs);
    }
    double commitMs = 0;

private:
    class Target : public snipwell::ClipTarget {
    public:
        Target(std::unique_ptr<snipwell::ClipTarget> real, double& commitMs)
            : real_(std::move(real)), commitMs_(commitMs) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            real_->writeAt(position, bytes);
        }
        void commit() override {
            const auto start = Steady::now();
            real_->commit();
            commitMs_ = msSince(start);
        }

    private:
        std::unique_ptr<snipwell::ClipTarget> real_;
        double& commitMs_;
    };
};

}  // namespace

int main(int argc, char** argv) {
    using namespace snipwell;
    using namespace snipwell::test;
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: save_sync_gap_bench SOURCE LENGTH_MS BEGIN_MS END_MS TARGET\n");
        return 2;
    }
    const std::string source = argv[1];
    TimedWindow window;
    window.useRealTime();
    ScriptedMediaService media(window);
    TimedCommitFiles files;
    Form1 form(window, media.entry(), files);
    window.attach(form);
    media.addTrack(source, std::stoi(argv[2]));
    window.dialog.answers.push_back(DialogAnswer::choose(source));
    window.raise(FormEvent::Command4Click);
    form.clipBeginMs = std::stoi(argv[3]);
    form.clipEndMs = std::stoi(argv[4]);
    window.dialog.answers.push_back(DialogAnswer::choose(argv[5]));
    window.messageAnswers.push_back(kAnswerYes);
    window.log.reserve(1 << 20);
    window.longestGapMs = 0;

    const auto start = Steady::now();
    window.raise(FormEvent::Command7Click);
    const double savedMs = msSince(start);

    if (window.messages.empty() || window.messages.back().text != "Clip Saved     ") {
        std::fprintf(stderr, "not saved: %s\n",
                     window.messages.empty() ? "?" : window.messages.back().text.c_str());
        return 1;
    }
    std::printf("%.3f %.1f %.1f\n", savedMs / 1000, window.longestGapMs, files.commitMs);
    return 0;
}
