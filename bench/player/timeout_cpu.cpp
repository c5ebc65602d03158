// What the player's wait costs: timeOut pumps the real Qt window's events
// while it waits, and must not keep a core busy doing so. Runs the window on
// Qt's offscreen platform unless a display is given.
//
//   build/bench/bin/timeout_cpu [seconds]

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/qt/qt_window_services.h"
#include "app/qt/web_panel.h"
#include "player/movie_module.h"
#include "process_cpu_time.h"

namespace {

class BlankPanel : public snipwell::qt::WebPanel {
public:
    using WebPanel::WebPanel;
    void navigate(const QString&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;

    snipwell::qt::QtWindowServices services([](QWidget* parent) { return new BlankPanel(parent); },
                                            [](const QUrl&) { return false; });
    services.qtWindow().show();
    auto noMedia = [](const char*, char*, std::uint32_t, std::uintptr_t) -> std::uint32_t {
        return 0;
    };
    snipwell::MovieModule player(noMedia, services, services);

    const double cpuBefore = snipwell::bench::processCpuSeconds();
    const double wallBefore = services.seconds();
    player.timeOut(seconds);
    const double wall = services.seconds() - wallBefore;
    const double cpu = snipwell::bench::processCpuSeconds() - cpuBefore;
    std::printf("timeOut(%.1f) waited %.2f s using %.3f s CPU: %.2f %% of one core\n", seconds,
                wall, cpu, 100.0 * cpu / wall);
    return 0;
}
