// Looks at another program's window from outside, as a person would: saves
// it as a picture, or prints a digest of one rectangle of it, so a script can
// tell whether that part of the window changed.
//
//   window_probe grab <window id> <file.png>
//   window_probe digest <window id> <x> <y> <width> <height>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: window_probe grab <window id> <file.png>\n"
                 "       window_probe digest <window id> <x> <y> <width> <height>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    QGuiApplication application(argc, argv);
    bool ok = false;
    const WId window = QString::fromLatin1(argv[2]).toULongLong(&ok, 0);
    if (!ok) return usage();
    QScreen* screen = QGuiApplication::primaryScreen();

    if (std::strcmp(argv[1], "grab") == 0 && argc == 4) {
        const QPixmap shot = screen->grabWindow(window);
        return shot.save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "digest") == 0 && argc == 7) {
        const QImage part = screen
                                ->grabWindow(window, std::atoi(argv[3]), std::atoi(argv[4]),
                                             std::atoi(argv[5]), std::atoi(argv[6]))
                                .toImage();
        if (part.isNull()) return 1;
        const QImage rgb = part.convertToFormat(QImage::Format_RGB32);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(rgb.constBits()), rgb.sizeInBytes()));
        std::printf("%s\n", hash.result().toHex().constData());
        return 0;
    }
    return usage();
}
