// Times the window's Save on the headless model: the Save click with the
// copy, progress bar and event pump after every chunk, into a real file.
//
//   window_save_bench SOURCE LENGTH_MS BEGIN_MS END_MS TARGET
// prints: seconds peak_rss_kib

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/form1.h"
#include "clip/export/disk_files.h"
#include "support/headless_window.h"
#include "support/scripted_media_service.h"

int main(int argc, char** argv) {
    using namespace snipwell;
    using namespace snipwell::test;
    if (argc != 6) {
        std::fprintf(stderr, "usage: window_save_bench SOURCE LENGTH_MS BEGIN_MS END_MS TARGET\n");
        return 2;
    }
    const std::string source = argv[1];
    HeadlessWindow window;
    window.pumpCostSeconds = 0;
    ScriptedMediaService media(window);
    DiskFiles disk;
    Form1 form(window, media.entry(), disk);
    window.attach(form);
    media.addTrack(source, std::stoi(argv[2]));
    window.dialog.answers.push_back(DialogAnswer::choose(source));
    window.raise(FormEvent::Command4Click);
    form.clipBeginMs = std::stoi(argv[3]);
    form.clipEndMs = std::stoi(argv[4]);
    window.dialog.answers.push_back(DialogAnswer::choose(argv[5]));
    window.messageAnswers.push_back(kAnswerYes);
    window.log.reserve(1 << 20);

    const auto start = std::chrono::steady_clock::now();
    window.raise(FormEvent::Command7Click);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    if (window.messages.empty() || window.messages.back().text != "Clip Saved     ") {
        std::fprintf(stderr, "not saved: %s\n",
                     window.messages.empty() ? "?" : window.messages.back().text.c_str());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld\n", took.count(), usage.ru_maxrss);
    return 0;
}
