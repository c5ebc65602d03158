// The web engine, loaded by the window only after it has painted: a module of
// two plain functions, so the window program itself never links the web
// engine and none of its start-up runs before the first paint.

#include <QOpenGLWidget>
#include <QString>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

extern "C" {

// A window of its own holding the view. The view draws through OpenGL; the
// hidden OpenGL widget beside it makes the window an OpenGL window from the
// start, so it is never made anew when the view begins to draw.
Q_DECL_EXPORT QWidget* snipwell_create_web_view() {
    auto* host = new QWidget(nullptr, Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QWebEngineView(host);
    // A file dropped here is for the window to open, never a page to show.
    view->setAcceptDrops(false);
    layout->addWidget(view);
    (new QOpenGLWidget(host))->hide();
    return host;
}

Q_DECL_EXPORT void snipwell_load_web_view(QWidget* host, const char* utf8Address) {
    if (auto* view = host->findChild<QWebEngineView*>())
        view->load(QUrl(QString::fromUtf8(utf8Address)));
}

}  // extern "C"
