// korvalume-viewer: the entry point. The application object, the command line, then the
// delegate's launch; the main loop does the rest.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <clocale>
#include <cstdio>

#include "app/app_delegate.h"

#ifndef KV_VERSION
#define KV_VERSION "0.0.0"
#endif

namespace {

// The command line, read before the application object: --help and --version answer even
// where no display can be opened.
void readCommandLine(int argc, char** argv) {
  QCoreApplication cli(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Shows what a Korvalume shares: new shots, whole images and live view from the camera it sits on.\n"
      "Join the Korvalume's Wi-Fi network, then press Connect.\n\n"
      "Environment:\n"
      "  KORVALUME_DEVICE=host:port[:generation]  connect to this address instead of finding\n"
      "                                          the device (development aid; generation 1 or 2,\n"
      "                                          2 when left out)"));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  // Options this parser does not know are the window system's (-platform, -style ...): the
  // application object takes them.
  parser.parse(QCoreApplication::arguments());
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) parser.showHelp(0);
  if (parser.isSet(version)) parser.showVersion();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setOrganizationName(QStringLiteral("Korvalume"));
  QCoreApplication::setApplicationName(QStringLiteral("korvalume-viewer"));
  QCoreApplication::setApplicationVersion(QStringLiteral(KV_VERSION));
  readCommandLine(argc, argv);

  QApplication::setApplicationDisplayName(QStringLiteral("Korvalume Viewer"));
  QApplication::setDesktopFileName(QStringLiteral("korvalume-viewer"));
  QApplication app(argc, argv);
  // Qt takes the user's locale for the C library too; numbers read and written by the
  // libraries below must not follow it.
  std::setlocale(LC_NUMERIC, "C");
  AppDelegate delegate;
  delegate.applicationDidFinishLaunching();
  return QApplication::exec();
}
