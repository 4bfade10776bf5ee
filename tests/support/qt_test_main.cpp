// The main of every Qt test executable: offscreen, with HOME, XDG folders and settings
// in a temporary folder, so no test touches the user's files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <memory>

#include "support/qt_test_support.h"

namespace {
QString gHome;
}

namespace kvtest {

bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds deadline) {
  QElapsedTimer t;
  t.start();
  while (!predicate()) {
    if (t.elapsed() >= deadline.count()) return predicate();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

QString tempHome() { return gHome; }

}  // namespace kvtest

int main(int argc, char** argv) {
  // Before QApplication: test discovery runs this binary at build time, with no display.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir home(QDir::tempPath() + "/kvtest-XXXXXX");
  gHome = home.path();
  setenv("HOME", home.path().toLocal8Bit().constData(), 1);
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                          "XDG_RUNTIME_DIR"}) {
    QString dir = home.path() + "/" + QString::fromLatin1(var).toLower();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv(var, dir.toLocal8Bit().constData(), 1);
  }
  // With no user-dirs.dirs in the temporary XDG_CONFIG_HOME, Qt's documents folder is
  // $HOME/Documents.
  QDir().mkpath(home.path() + "/Documents");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("KorvalumeTest");
  QApplication::setApplicationName("korvalume-viewer-tests");
  return RUN_ALL_TESTS();
}
