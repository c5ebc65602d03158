// The reference for the window's start-up: a bare Qt Widgets window of the
// same size, white, with the same banner text at the same place and one
// button, and nothing else. first_paint_probe watches both the same way.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare 3.4"));
    window.setFixedSize(305, 343);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* banner = new QLabel(QStringLiteral("  Quorvane Presentation"), &window);
    banner->setGeometry(65, 10, 185, 17);
    auto* play = new QPushButton(QStringLiteral("Play"), &window);
    play->setGeometry(5, 70, 57, 24);
    window.show();
    return application.exec();
}
