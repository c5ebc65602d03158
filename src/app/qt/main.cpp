// The Snipwell program: make the window, run Initialize and Load, show it,
// open the file named on the command line if there is one, and run the event
// loop until the window is closed. The web panel starts once the window has
// painted.
//
// The real services are made here and nowhere else: the files on disk, the
// media service's entry point, the web panel and the desktop's link opener.
// Everything below receives what it uses.

#include <cstdio>

#include <string>
#include <vector>

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/qt/deferred_web_panel.h"
#include "app/qt/form_event_router.h"
#include "app/qt/qt_window_services.h"
#include "app/qt/startup_environment.h"
#include "app/qt/web_engine_panel.h"
#include "clip/export/disk_files.h"
#include "mci/mci_send_string.h"
#include "mci/media_entry_point.h"

int main(int argc, char** argv) {
    using namespace snipwell;
    if (const auto exitCode = answerInformationalOption(argc, argv, stdout)) return *exitCode;
    if (!qt::hasDisplay(argc, argv)) {
        std::fprintf(stderr,
                     "snipwell: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
                     "not set)\n");
        return 2;
    }
    qt::allowWebEngineAsRoot();
    qt::quietInformationalLogging();

    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Snipwell"));
    // The router ends the program through Form1's unload, not Qt's own rule.
    application.setQuitOnLastWindowClosed(false);

    DiskFiles files;
    const auto makeWebPanel = [](QWidget* parent) {
        return new qt::DeferredWebPanel(
            parent, [](QWidget* place) { return qt::WebEnginePanel::create(place); },
            {&qt::WebEnginePanel::makeSharedOpenGLContext, &qt::WebEnginePanel::loadModule});
    };
    const auto openLink = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    qt::QtWindowServices services(makeWebPanel, openLink);
    mci::MediaEntryPoint media;
    const mci::InstalledMediaEntryPoint installedMedia(media);
    Form1 form(services, mciSendStringA, files);
    qt::FormEventRouter router(services, form);

    // Qt has taken its own options out of the arguments by now.
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments()) {
        arguments.push_back(QFile::encodeName(argument).toStdString());
    }
    const auto startFile = fileToOpenAtStart(arguments, stderr);

    router.route(FormEvent::Initialize);
    router.route(FormEvent::Load);
    if (services.ended()) return 0;
    services.qtWindow().show();
    // From the event loop, so the window is up before the file opens.
    if (startFile)
        QTimer::singleShot(0, &router, [&router, &startFile] { router.routeOpen(*startFile); });
    return application.exec();
}
