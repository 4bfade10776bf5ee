// korvalume-viewer: the entry point. The application object, the command line, then the
// delegate's launch; the main loop does the rest.
#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <cstdio>

#include "app/app_delegate.h"
#include "app/app_icon.h"

#ifndef KV_VERSION
#define KV_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
  QApplication::setOrganizationName(QStringLiteral("Korvalume"));
  QApplication::setApplicationName(QStringLiteral("korvalume-viewer"));
  QApplication::setApplicationDisplayName(QStringLiteral("Korvalume Viewer"));
  QApplication::setApplicationVersion(QStringLiteral(KV_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("korvalume-viewer"));
  QApplication app(argc, argv);
  // Qt takes the user's locale for the C library too; numbers read and written by the
  // libraries below must not follow it.
  std::setlocale(LC_NUMERIC, "C");

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Shows what a Korvalume shares: new shots, whole images and live view from the camera it sits on.\n"
      "Join the Korvalume's Wi-Fi network, then press Connect.\n\n"
      "Environment:\n"
      "  KORVALUME_DEVICE=host:port[:generation]  connect to this address instead of finding\n"
      "                                          the device (development aid; generation 1 or 2,\n"
      "                                          2 when left out)"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(app);

  QApplication::setWindowIcon(appIcon());
  AppDelegate delegate;
  delegate.applicationDidFinishLaunching();
  return QApplication::exec();
}
