// Saves a picture of the whole screen of the X display in DISPLAY:
//   vardo-grab-screen OUT.png
// The smoke test uses it to photograph the program as a person would see it.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
