#pragma once
// Checks and settings that must happen before QApplication exists.

namespace snipwell::qt {

// True when Qt has somewhere to show the window: an X or Wayland display in
// the environment, or a platform named with -platform / QT_QPA_PLATFORM.
bool hasDisplay(int argc, char** argv);

// The web engine refuses to run as root with its sandbox on; the program is
// the same program for root, so it turns the sandbox off itself there.
void allowWebEngineAsRoot();

// A desktop program prints nothing unless something is wrong: the web
// engine's start-up report, its informational lines and the advert page's
// console chatter are switched off; warnings and errors still show. Rules in
// QT_LOGGING_RULES, and a --log-level in QTWEBENGINE_CHROMIUM_FLAGS, win.
void quietInformationalLogging();

}  // namespace snipwell::qt
