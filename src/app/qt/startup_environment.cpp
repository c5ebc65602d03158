#include "app/qt/startup_environment.h"

#include <cstdlib>
#include <cstring>

#include <string>

#include <QLoggingCategory>

#include <unistd.h>

namespace snipwell::qt {

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
}  // namespace

bool hasDisplay(int argc, char** argv) {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0) {
            return true;
        }
    }
    return false;
}

void allowWebEngineAsRoot() {
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
}

void quietInformationalLogging() {
    // "default" carries the web engine's unnamed notes such as "Sandboxing
    // disabled by user."; "js" is the page's own console.
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.webenginecontext.info=false\n"
                       "qt.webenginecontext.debug=false\n"
                       "default.info=false\n"
                       "js.info=false\n"
                       "js.warning=false\n"));
    // The engine's own log: warnings (1) and worse only.
    const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    std::string combined = flags != nullptr ? flags : "";
    if (combined.find("--log-level") == std::string::npos) {
        combined += combined.empty() ? "--log-level=1" : " --log-level=1";
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", combined.c_str(), 1);
    }
}

}  // namespace snipwell::qt
