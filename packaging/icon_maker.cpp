// Draws the installed icons from the window's own icon at build time:
//
//   snipwell_icon_maker <hicolor folder> <icon name> <size>...
//
// writes <hicolor folder>/scalable/apps/<icon name>.svg and, for each size,
// <hicolor folder>/<size>x<size>/apps/<icon name>.png.

#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include "app/qt/window_icon.h"

namespace {

bool writeSvg(const QString& path) {
    using snipwell::qt::kWindowIconGrid;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kWindowIconGrid, kWindowIconGrid));
    svg.setViewBox(QRect(0, 0, kWindowIconGrid, kWindowIconGrid));
    svg.setTitle(QStringLiteral("Snipwell"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    snipwell::qt::paintWindowIcon(painter);
    return painter.end();
}

bool makeFolderFor(const QString& path) { return QDir().mkpath(QFileInfo(path).absolutePath()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: snipwell_icon_maker <hicolor folder> <icon name> <size>...\n");
        return 2;
    }
    // Drawing needs no display; the offscreen platform keeps Qt from looking for one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QString svgPath =
        root + QStringLiteral("/scalable/apps/") + name + QStringLiteral(".svg");
    if (!makeFolderFor(svgPath) || !writeSvg(svgPath)) {
        std::fprintf(stderr, "snipwell_icon_maker: could not write %s\n", qPrintable(svgPath));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&isNumber);
        if (!isNumber || size <= 0) {
            std::fprintf(stderr, "snipwell_icon_maker: not a size in pixels: %s\n", argv[i]);
            return 2;
        }
        const QString pngPath =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(root).arg(size).arg(name);
        if (!makeFolderFor(pngPath) ||
            !snipwell::qt::drawWindowIconImage(size).save(pngPath, "PNG")) {
            std::fprintf(stderr, "snipwell_icon_maker: could not write %s\n", qPrintable(pngPath));
            return 1;
        }
    }
    return 0;
}
