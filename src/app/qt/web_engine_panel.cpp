#include "app/qt/web_engine_panel.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWindow>

// Qt Gui's own hook for the context that all OpenGL contexts of the program
// share; the web engine declares and uses it the same way.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace snipwell::qt {
namespace {

constexpr const char* kModuleName = "snipwell-web-view.so";

using CreateView = QWidget* (*)();
bool moduleTried = false;
CreateView createView = nullptr;
void (*loadView)(QWidget* view, const char* utf8Address) = nullptr;

QtMessageHandler passOnMessages = nullptr;

// Qt warns that the attribute below belongs before the application starts,
// which is true only for its own way of making the context.
void withoutLateAttributeNotice(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("AA_ShareOpenGLContexts"))) return;
    if (passOnMessages != nullptr) passOnMessages(type, context, message);
}

}  // namespace

// The web engine draws through OpenGL contexts that share with one global
// context. Qt makes that context while the application starts when asked to
// (Qt::AA_ShareOpenGLContexts), which costs over 100 ms before anything can
// be painted. The same context made here, after the first paint and before
// the web engine is loaded, serves it just as well.
void WebEnginePanel::makeSharedOpenGLContext() {
    if (QOpenGLContext::globalShareContext() != nullptr) return;
    auto* context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create()) {
        std::fprintf(stderr, "snipwell: no OpenGL context for the web panel\n");
    }
    qt_gl_set_global_share_context(context);
    // Widgets that draw with OpenGL look at this attribute to share with it.
    passOnMessages = qInstallMessageHandler(withoutLateAttributeNotice);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(passOnMessages);
}

namespace {

// Beside the program in the build folder; under lib/snipwell/ (or the
// multiarch lib folder) next to bin/ once installed.
QStringList moduleCandidates() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {programDir.filePath(QString::fromLatin1(kModuleName)),
            programDir.filePath(QStringLiteral(SNIPWELL_WEB_VIEW_MODULE_DIR "/") +
                                QString::fromLatin1(kModuleName))};
}

}  // namespace

void WebEnginePanel::loadModule() {
    if (moduleTried) return;
    moduleTried = true;
    QString path;
    for (const QString& candidate : moduleCandidates()) {
        if (QFileInfo::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "snipwell: the web panel is empty: %s was not found\n", kModuleName);
        return;
    }
    // The module stays loaded for the rest of the run: QLibrary does not
    // unload it when this handle goes.
    QLibrary module(path);
    createView = reinterpret_cast<CreateView>(module.resolve("snipwell_create_web_view"));
    loadView = reinterpret_cast<LoadView>(module.resolve("snipwell_load_web_view"));
    if (createView == nullptr || loadView == nullptr) {
        std::fprintf(stderr, "snipwell: the web panel is empty: %s\n",
                     qPrintable(module.errorString()));
        createView = nullptr;
        loadView = nullptr;
    }
}

WebEnginePanel* WebEnginePanel::create(QWidget* parent) {
    makeSharedOpenGLContext();
    loadModule();
    if (createView == nullptr) return nullptr;
    return new WebEnginePanel(parent, createView(), loadView);
}

WebEnginePanel::WebEnginePanel(QWidget* parent, QWidget* view, LoadView load)
    : WebPanel(parent), view_(view), load_(load) {
    view_->setAttribute(Qt::WA_NativeWindow);
    view_->winId();
    QWindow* host = parent != nullptr ? parent->window()->windowHandle() : nullptr;
    if (host != nullptr) view_->windowHandle()->setParent(host);
    placeView();
}

// The view's window is a child of the main window's native window, which
// would delete it with itself; it goes first.
WebEnginePanel::~WebEnginePanel() { delete view_.data(); }

bool WebEnginePanel::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide: placeView(); break;
        default: break;
    }
    return WebPanel::event(event);
}

void WebEnginePanel::placeView() {
    QWidget* view = view_.data();
    if (view == nullptr) return;
    view->setGeometry(QRect(mapTo(window(), QPoint(0, 0)), size()));
    view->setVisible(isVisible());
}

void WebEnginePanel::navigate(const QString& address) {
    if (QWidget* view = view_.data()) load_(view, address.toUtf8().constData());
}

}  // namespace snipwell::qt
