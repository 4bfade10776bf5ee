// korvalume-appicon: writes the application's icon as a PNG of the size asked for, for the
// desktop entry the build installs.
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "app/app_icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: korvalume-appicon <pixels> <file.png>\n");
    return 2;
  }
  const int pixels = std::atoi(argv[1]);
  if (pixels < 16 || pixels > 1024) {
    std::fprintf(stderr, "korvalume-appicon: pixels must lie in 16..1024\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  if (!appIconImage(pixels).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "korvalume-appicon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
