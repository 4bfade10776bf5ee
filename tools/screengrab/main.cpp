// korvalume-screengrab: writes what an X display shows to a PNG, from outside the program on
// it (scripts/run --screenshot).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvalume-screengrab <file.png>   (DISPLAY names the display)\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "korvalume-screengrab: no screen\n");
    return 1;
  }
  if (!screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "korvalume-screengrab: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
