// Pushes the running session cannot keep (no cache loaded, a folder that cannot be
// written) and thumbnails it cannot cut: the images still reach the screen, and the user
// is told once per session, not once per frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/alert_support.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;
using devsim::Bytes;

namespace {

Bytes objectInfoRelay(uint32_t id, const char* name, uint32_t size, uint32_t offset, uint8_t code) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = size;
  r.sequenceNumber = offset;
  r.captureDate = 1700000000;
  objectInfoSetFileName(r, name);
  return devsim::makeRelayBody(code, std::span(reinterpret_cast<const uint8_t*>(&r), kObjectInfoBytes));
}

// A folder nobody can write into, root included: no write permission, and where the file
// system allows it, the immutable flag (which root's rights do not pass).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const QString& path) : path_(QFile::encodeName(path).toStdString()) {
    ::chmod(path_.c_str(), 0555);
    if (writable()) setImmutable(true);
  }
  ~ReadOnlyFolder() {
    if (immutable_) setImmutable(false);
    ::chmod(path_.c_str(), 0755);
  }
  bool writable() const {
    const std::string probe = path_ + "/probe";
    int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
  }

 private:
  void setImmutable(bool on) {
    int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
    }
    ::close(fd);
  }
  std::string path_;
  bool immutable_ = false;
};

class ShareStoreFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    timing().receiveTimeout = 30s;
    ASSERT_TRUE(dir.isValid());
    cacheFolder = dir.path() + "/cache";
    saveFolder = dir.path() + "/save";
    QDir().mkpath(cacheFolder);
    QDir().mkpath(saveFolder);
    sim = std::make_unique<devsim::Simulator>();
    ASSERT_TRUE(sim->start());
    observers.push_back(observeImageData(nullptr, [this](const ImageDataEvent&) { ++images; }));
    observers.push_back(
        observeShareThumbnailDownloaded(nullptr, [this](const ShareThumbnailDownloadedEvent&) { ++images; }));
    observers.push_back(observeMessageHandled(nullptr, [this] { ++handled; }));
    // Answers every alert, keeping its text.
    answerer.setInterval(2);
    QObject::connect(&answerer, &QTimer::timeout, [this] {
      const std::vector<QWidget*> alerts = kvtest::visibleAlerts();
      if (alerts.empty()) return;
      QString text;
      for (QLabel* label : alerts.front()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (!label->font().bold() && label->maximumSize() != QSize(24, 24)) text += label->text();
      messages.push_back(text);
      if (!kvtest::clickButton(alerts.front(), QStringLiteral("OK"))) alerts.front()->hide();
    });
    answerer.start();
  }
  void TearDown() override {
    ShareComms::instance().stop();
    for (auto id : observers) NotificationCenter::defaultCenter().removeObserver(id);
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    cacheLoad(nullptr, nullptr);
  }

  void startSession() {
    ShareComms::instance().stop();
    linkDisconnect();
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(30s));
    shareSetMode(ShareModeGeneration2);
    ASSERT_TRUE(ShareComms::instance().start());
  }

  // A burst of what a camera sends for a few photos; each store of it fails.
  int pushPhotos(uint32_t first) {
    int sent = 0;
    auto count = [&](bool ok) {
      EXPECT_TRUE(ok);
      ++sent;
    };
    for (uint32_t id = first; id < first + 3; ++id) {
      const std::string name = "IMG_" + std::to_string(id) + ".JPG";
      count(sim->sendFrame(15, objectInfoRelay(id, name.c_str(), 0, 0, 176)));
      count(sim->pushPtp(2, 0x100A, Bytes(40, uint8_t(id))));
      count(sim->pushPtp(2, 0x1009, Bytes(3000, uint8_t(id))));
      count(sim->sendFrame(15, objectInfoRelay(id + 100, name.c_str(), 2000, 0, 177)));
      count(sim->sendControlReply(65, 0x2001, Bytes(2000, uint8_t(id))));
    }
    return sent;
  }

  // Every message decoded and every alert it queued answered.
  void settle(int sent) {
    ASSERT_TRUE(kvtest::waitUntil([&] { return handled.load() >= sent; }));
    std::atomic<bool> drained{false};
    Dispatch::main([&] { drained = true; });  // after the alerts queued before it
    ASSERT_TRUE(kvtest::waitUntil([&] { return drained.load() && kvtest::visibleAlerts().empty(); }));
  }

  ScopedTiming restore;
  QTemporaryDir dir;
  QString cacheFolder, saveFolder;
  std::unique_ptr<devsim::Simulator> sim;
  std::vector<NotificationCenter::ObserverId> observers;
  std::atomic<int> handled{0}, images{0};
  QTimer answerer;
  std::vector<QString> messages;
};

}  // namespace

TEST_F(ShareStoreFailureTest, NoCacheLoadedIsToldOncePerSessionAndTheImagesStillShow) {
  cacheLoad(nullptr, nullptr);
  startSession();
  int sent = pushPhotos(1);
  settle(sent);
  EXPECT_EQ(images.load(), 9);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("not being saved")) << messages[0].toStdString();

  // The next session tells again, once.
  startSession();
  sent += pushPhotos(10);
  settle(sent);
  EXPECT_EQ(images.load(), 18);
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(ShareStoreFailureTest, AFolderThatCannotBeWrittenIsToldOnceAndUncutThumbnailsOnceToo) {
  ASSERT_EQ(cacheLoad(cacheFolder.toUtf8().constData(), saveFolder.toUtf8().constData()), 1);
  ReadOnlyFolder cacheReadOnly(cacheFolder), saveReadOnly(saveFolder);
  if (cacheReadOnly.writable() || saveReadOnly.writable()) GTEST_SKIP() << "no folder here can be made read-only";
  startSession();
  int sent = pushPhotos(1);
  // Canon thumbnails that cannot be cut, one per frame.
  for (int i = 0; i < 4; ++i, ++sent) ASSERT_TRUE(sim->pushPtp(2, 0x910A, Bytes(64, 0x5A)));
  settle(sent);
  EXPECT_EQ(images.load(), 9);
  // Alerts answered in any order: a later one may come up over an earlier one.
  ASSERT_EQ(messages.size(), 2u);
  std::sort(messages.begin(), messages.end());
  EXPECT_TRUE(messages[0].contains("IMG_1.JPG") && messages[0].contains("cannot be written"))
      << messages[0].toStdString();
  EXPECT_EQ(messages[1], "Failed to extract thumbnail.");
  EXPECT_TRUE(QDir(cacheFolder).entryList(QDir::Files | QDir::Hidden).isEmpty());
  EXPECT_TRUE(QDir(saveFolder).entryList(QDir::Files | QDir::Hidden).isEmpty());

  startSession();
  for (int i = 0; i < 3; ++i, ++sent) ASSERT_TRUE(sim->pushPtp(2, 0x910A, Bytes(64, 0x5A)));
  settle(sent);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2], "Failed to extract thumbnail.");
}
