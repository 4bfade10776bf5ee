// The main of every Qt test executable: offscreen, with HOME, XDG folders and settings
// in a temporary folder, so no test touches the user's files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "platform/dispatch.h"
#include "support/qt_test_support.h"

namespace {

QString gHome;
constexpr const char* kScenarioVariable = "KV_EXIT_SCENARIO";

std::map<std::string, kvtest::ExitScenarioBody>& scenarios() {
  static std::map<std::string, kvtest::ExitScenarioBody> all;
  return all;
}

}  // namespace

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

bool registerExitScenario(const char* name, ExitScenarioBody body) {
  return scenarios().emplace(name, std::move(body)).second;
}

std::optional<int> runExitScenario(const char* name, std::chrono::milliseconds deadline) {
  QProcess child;
  child.setProgram(QCoreApplication::applicationFilePath());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QString::fromLatin1(kScenarioVariable), QString::fromUtf8(name));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  child.start();
  const int ms = static_cast<int>(deadline.count());
  if (!child.waitForStarted(ms)) return std::nullopt;
  if (!child.waitForFinished(ms)) {
    child.kill();
    child.waitForFinished(-1);
    return std::nullopt;
  }
  if (child.exitStatus() != QProcess::NormalExit) return std::nullopt;
  return child.exitCode();
}

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
  const QByteArray scenario = qgetenv(kScenarioVariable);
  if (scenario.isEmpty()) ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("KorvalumeTest");
  QApplication::setApplicationName("korvalume-viewer-tests");
  if (scenario.isEmpty()) {
    const int result = RUN_ALL_TESTS();
    // As the application ends: the shared pool's tasks (a histogram's decode, say, whose
    // smooth scaling starts Qt's own pool threads) end before the application object goes.
    if (!Dispatch::endGlobal(std::chrono::seconds(60))) std::fprintf(stderr, "short tasks still running at exit\n");
    return result;
  }
  // A child of runExitScenario: the scenario, then the end of main as in the application.
  const auto found = scenarios().find(scenario.toStdString());
  if (found == scenarios().end()) return 125;
  return found->second();
}
