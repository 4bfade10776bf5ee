#include "viewer/session/session_list.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "model/command_runner.h"
#include "model/object_info_wrapper.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/gui_thread.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "ptp/cache/cache.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

constexpr uint32_t kNoHandle = 0xFFFFFFFF;

// Off the GUI thread, queues fn on the list there and answers true; on it, false (the
// caller goes on itself).
template <typename Fn>
bool queuedToGuiThread(SessionList* list, Fn fn) {
  if (Dispatch::isMainThread()) return false;
  Dispatch::main([weak = list->weak_from_this(), fn] {
    if (auto self = weak.lock()) fn(*self);
  });
  return true;
}

// The file is written off the GUI thread, one write at a time and the newest list only:
// a rewrite of the whole list, synced to disk, per shot would stall the window, more so as
// the session grows.
struct FileWrites {
  std::mutex mutex;
  std::condition_variable idle;
  std::optional<std::pair<QString, QVariantList>> next;  // path and list; an empty list removes
  bool running = false;
};
FileWrites& fileWrites() {
  static FileWrites writes;
  return writes;
}

void writeSessionFile(const QString& path, const QVariantList& objects) {
  if (objects.isEmpty()) {
    QFile::remove(path);
    return;
  }
  const QByteArray xml = propertyListToXml(objects);
  if (xml.isEmpty()) return;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(xml);
  file.commit();
}

void drainFileWrites() {
  FileWrites& writes = fileWrites();
  for (;;) {
    std::pair<QString, QVariantList> write;
    {
      std::lock_guard lock(writes.mutex);
      if (!writes.next) {
        writes.running = false;
        writes.idle.notify_all();
        return;
      }
      write = std::move(*writes.next);
      writes.next.reset();
    }
    writeSessionFile(write.first, write.second);
  }
}

}  // namespace

std::optional<PtpObjectInfoStruct> sessionRecordForElement(const QVariant& element) {
  PtpObjectInfoStruct record{};
  if (element.typeId() == QMetaType::QString) {
    const QByteArray name = element.toString().toUtf8();
    // A cut name would name another object; an empty one names none.
    if (name.isEmpty() || name.size() >= static_cast<qsizetype>(kObjectNameBytes) || name.contains('\0'))
      return std::nullopt;
    record.objectId = kNoHandle;
    std::memcpy(record.fileName, name.constData(), static_cast<size_t>(name.size()));
    record.fileNameLength = static_cast<uint16_t>(element.toString().size());
    return record;
  }
  if (element.typeId() == QMetaType::LongLong || element.typeId() == QMetaType::Int ||
      element.typeId() == QMetaType::ULongLong || element.typeId() == QMetaType::UInt) {
    bool ok = false;
    const qlonglong value = element.toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFFFFll) return std::nullopt;
    record.objectId = static_cast<uint32_t>(value);
    return record;
  }
  return std::nullopt;
}

std::shared_ptr<SessionList> SessionList::create() { return std::shared_ptr<SessionList>(new SessionList); }

QString SessionList::sessionFilePath() {
  return QStringLiteral("%1/%2").arg(Paths::documentsDirectory(), QString::fromLatin1(kSessionFileName));
}

bool SessionList::isRecent(const QDateTime& last, const QDateTime& now) {
  const qint64 seconds = last.isValid() ? std::llabs(now.secsTo(last)) : 0;
  return seconds < kSessionReloadSeconds;
}

void SessionList::checkSession() {
  if (queuedToGuiThread(this, [](SessionList& list) { list.checkSession(); })) return;
  bool found = false;
  {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::Unchecked || *tornDown_) return;
    readPreviousListLocked();
    found = previousFound_;
    // What this session may discard: the cache as it was before the session began (the
    // connect run's note), else as it is before anything is shown.
    if (std::optional<CacheFolderSnapshot> noted = takeCacheBeforeSession())
      cachedBefore_ = std::move(*noted);
    else
      cachedBefore_ = CacheFolderSnapshot::take(Utilities::cacheFolderPath());
    phase_ = Phase::Pending;
  }
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const bool offer = found && isRecent(defaults.dateForKey(QString::fromLatin1(kDefaultsLastSessionTime)), now);
  defaults.setObject(now, QString::fromLatin1(kDefaultsLastSessionTime));
  defaults.synchronize();

  // Asked from the event loop, once the window that is loading now has shown. The list is
  // held weakly meanwhile: a window gone without its teardown gets no answer.
  questionQueued_ = true;
  Dispatch::main([weak = weak_from_this(), offer] {
    std::shared_ptr<KL_Alert> alert;
    if (auto self = weak.lock()) alert = self->prepareQuestion(offer);
    if (!alert) return;
    alert->show();  // modal: returns once answered, or closed by teardown
    if (auto self = weak.lock())
      if (self->alert_ == alert) self->alert_.reset();
  });
}

std::shared_ptr<KL_Alert> SessionList::prepareQuestion(bool offer) {
  questionQueued_ = false;
  if (*tornDown_) return nullptr;
  {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::Pending) return nullptr;  // answered directly meanwhile
  }
  if (!offer) {
    clearSession();
    return nullptr;
  }
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  alert->setTitleText(QStringLiteral("Load Session"));
  alert->setInformationText(QStringLiteral("Would you like to load the previous session?"));
  const std::weak_ptr<SessionList> weak = weak_from_this();
  alert->setOkButtonText(QStringLiteral("Load Session"), [weak] {
    if (auto self = weak.lock()) self->loadPreviousSession();
  });
  alert->setCancelButtonText(QStringLiteral("Cancel"), [weak] {
    if (auto self = weak.lock()) self->clearSession();
  });
  alert_ = alert;
  return alert;
}

void SessionList::loadPreviousSession() {
  if (queuedToGuiThread(this, [](SessionList& list) { list.loadPreviousSession(); })) return;
  if (*tornDown_) return;
  QVariantList previous;
  bool damaged = false;
  {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Answered) return;
    if (phase_ == Phase::Unchecked) readPreviousListLocked();  // asked for without a check
    previous.swap(mPreviousObjects);
    damaged = previousDamaged_;
    mSessionObjects = previous + mSessionObjects;
    cachedBefore_ = CacheFolderSnapshot();
    phase_ = Phase::Answered;
    writeLocked();
  }
  ++runsGoing_;
  const std::weak_ptr<SessionList> weak = weak_from_this();
  const std::shared_ptr<std::atomic<bool>> tornDown = tornDown_;
  Command::runCommands({CommandBlock([weak, previous, damaged, tornDown] {
                         return loadThumbnails(weak, previous, damaged, tornDown);
                       }, Bundle::localizedString(QStringLiteral("LoadingSession")))},
                       [weak, tornDown](int32_t result) {
                         if (auto self = weak.lock()) self->runFinished();
                         if (result != PTP_RC_OK && !*tornDown)
                           Utilities::showErrorMessage(Bundle::localizedString(QStringLiteral("LoadSessionFailure")));
                       });
}

int32_t SessionList::loadThumbnails(const std::weak_ptr<SessionList>& list, const QVariantList& previous,
                                    bool damaged, const std::shared_ptr<std::atomic<bool>>& tornDown) {
  for (const QVariant& element : previous) {
    if (*tornDown) break;
    const std::optional<PtpObjectInfoStruct> wanted = sessionRecordForElement(element);
    if (!wanted) continue;
    PtpObjectInfoStruct record{};
    if (cacheGetRecord(*wanted, &record) != 1) continue;
    std::vector<uint8_t> thumb;
    if (cacheReadThumb(record, thumb) != 1 || thumb.empty()) continue;
    QByteArray bytes(reinterpret_cast<const char*>(thumb.data()), static_cast<qsizetype>(thumb.size()));
    std::shared_ptr<PtpObjectInfoClass> info = PtpObjectInfoClass::init(&record);
    // The sink lives with the window: it is called on the GUI thread, where teardown runs.
    Dispatch::main([list, tornDown, bytes = std::move(bytes), info = std::move(info)] {
      if (*tornDown) return;
      if (auto self = list.lock(); self && self->sink_) self->sink_(bytes, info);
    });
  }
  return damaged ? ERROR_DATASET : PTP_RC_OK;
}

void SessionList::clearSession() {
  if (queuedToGuiThread(this, [](SessionList& list) { list.clearSession(); })) return;
  if (*tornDown_) return;
  CacheFolderSnapshot cachedBefore;
  {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Answered) return;
    mPreviousObjects.clear();
    std::swap(cachedBefore, cachedBefore_);
    phase_ = Phase::Answered;
    writeLocked();
  }
  if (cachedBefore.size() == 0) return;
  ++runsGoing_;
  const std::weak_ptr<SessionList> weak = weak_from_this();
  // Only what was cached before this session goes, file by file: the share queue goes on
  // storing meanwhile, and what it stores stays.
  Command::runCommands({CommandBlock([cachedBefore = std::move(cachedBefore)] {
                         cachedBefore.removeUnchanged();
                         return int32_t(PTP_RC_OK);
                       }, Bundle::localizedString(QStringLiteral("CacheClear")))},
                       [weak](int32_t) {
                         if (auto self = weak.lock()) self->runFinished();
                       });
}

void SessionList::addObjectToSession(const PtpObjectInfoStruct* record) {
  if (!record) return;
  std::lock_guard lock(mutex_);
  if (record->objectId == kNoHandle) {
    const size_t length = strnlen(record->fileName, kObjectNameBytes);
    if (length == 0) return;
    mSessionObjects.append(QString::fromUtf8(record->fileName, static_cast<qsizetype>(length)));
  } else {
    mSessionObjects.append(static_cast<qlonglong>(record->objectId));
  }
  if (phase_ == Phase::Answered) writeLocked();
}

void SessionList::teardown() {
  KV_ASSERT_GUI_THREAD();
  if (tornDown_->exchange(true)) return;
  {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Pending) {
      // Unanswered: neither list is given up. The next window offers both.
      mSessionObjects = mPreviousObjects + mSessionObjects;
      mPreviousObjects.clear();
      cachedBefore_ = CacheFolderSnapshot();
      phase_ = Phase::Answered;
      writeLocked();
    }
  }
  if (std::shared_ptr<KL_Alert> alert = std::move(alert_)) alert->abandon();
  sink_ = nullptr;
}

QVariantList SessionList::objects() const {
  std::lock_guard lock(mutex_);
  return mSessionObjects;
}

bool SessionList::isIdle() const {
  std::lock_guard lock(mutex_);
  return phase_ == Phase::Answered && !questionQueued_ && !alert_ && runsGoing_ == 0;
}

void SessionList::readPreviousListLocked() {
  waitForFileWrites();  // the last window's final write, if it is still on its way
  const QString path = sessionFilePath();
  previousFound_ = QFileInfo::exists(path);
  previousDamaged_ = false;
  mPreviousObjects.clear();
  if (!previousFound_) return;
  QString error;
  const QVariant root = propertyListFromFile(path, &error);
  if (root.typeId() == QMetaType::QVariantList) {
    mPreviousObjects = root.toList();
    if (mPreviousObjects.size() > kSessionMaxEntries) mPreviousObjects = mPreviousObjects.mid(0, kSessionMaxEntries);
    return;
  }
  // Kept aside rather than overwritten by the answer, and reported if loading is asked
  // for; the session goes on with an empty previous list.
  const QString aside = path + QString::fromLatin1(kSessionDamagedSuffix);
  QFile::remove(aside);
  QFile::rename(path, aside);
  previousDamaged_ = true;
}

void SessionList::writeLocked() {
  FileWrites& writes = fileWrites();
  std::lock_guard lock(writes.mutex);
  writes.next.emplace(sessionFilePath(), mSessionObjects);
  if (writes.running) return;
  writes.running = true;
  Dispatch::global(&drainFileWrites);
}

void SessionList::waitForFileWrites() {
  FileWrites& writes = fileWrites();
  std::unique_lock lock(writes.mutex);
  writes.idle.wait(lock, [&] { return !writes.running; });
}
