#include "viewer/session/session_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "model/command_runner.h"
#include "model/object_info_wrapper.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/dispatch.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "ptp/cache.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

constexpr uint32_t kNoHandle = 0xFFFFFFFF;

void showLoadPrompt(std::function<void()> load, std::function<void()> discard) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  alert->setTitleText(QStringLiteral("Load Session"));
  alert->setInformationText(QStringLiteral("Would you like to load the previous session?"));
  alert->setOkButtonText(QStringLiteral("Load Session"), std::move(load));
  alert->setCancelButtonText(QStringLiteral("Cancel"), std::move(discard));
  alert->show();
}

void runWithCommand(std::function<int32_t()> step, std::function<void(int32_t)> done) {
  Command::runCommands({CommandBlock(std::move(step), Bundle::localizedString(QStringLiteral("LoadingSession")))},
                       std::move(done));
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

SessionList::SessionList() : prompt_(showLoadPrompt), clearer_([] { Utilities::clearCache(); }), runner_(runWithCommand) {}

QString SessionList::sessionFilePath() {
  return QStringLiteral("%1/%2").arg(Paths::documentsDirectory(), QString::fromLatin1(kSessionFileName));
}

bool SessionList::isRecent(const QDateTime& last, const QDateTime& now) {
  const qint64 seconds = last.isValid() ? std::llabs(now.secsTo(last)) : 0;
  return seconds < kSessionReloadSeconds;
}

void SessionList::checkSession() {
  if (!Dispatch::isMainThread()) {
    auto self = weak_from_this();
    Dispatch::main([self] {
      if (auto list = self.lock()) list->checkSession();
    });
    return;
  }
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  const QDateTime last = defaults.dateForKey(QString::fromLatin1(kLastSessionTimeKey));
  if (QFileInfo::exists(sessionFilePath()) && isRecent(last, QDateTime::currentDateTimeUtc())) {
    prompt_([this] { loadPreviousSession(); }, [this] { clearSession(); });
  } else {
    clearSession();
  }
  defaults.setObject(QDateTime::currentDateTimeUtc(), QString::fromLatin1(kLastSessionTimeKey));
  defaults.synchronize();
}

void SessionList::loadPreviousSession() {
  std::shared_ptr<SessionList> keep = weak_from_this().lock();
  runner_([this, keep] { return static_cast<int32_t>(loadStep()); },
          [](int32_t result) {
            if (result != PTP_RC_OK) Utilities::showErrorMessage(Bundle::localizedString(QStringLiteral("LoadSessionFailure")));
          });
}

PtpResponseCode SessionList::loadStep() {
  PtpResponseCode result = PTP_RC_OK;
  {
    std::lock_guard lock(mutex_);
    const QString path = sessionFilePath();
    QString error;
    const QVariant root = QFileInfo::exists(path) ? propertyListFromFile(path, &error) : QVariant(QVariantList());
    if (root.typeId() == QMetaType::QVariantList) {
      mSessionObjects = root.toList();
      if (mSessionObjects.size() > kSessionMaxEntries) mSessionObjects = mSessionObjects.mid(0, kSessionMaxEntries);
    } else {
      // Kept aside rather than overwritten by the next addition, and reported; the session
      // goes on with an empty list so that what it shows from now on is still recorded.
      const QString aside = path + QString::fromLatin1(kSessionDamagedSuffix);
      QFile::remove(aside);
      QFile::rename(path, aside);
      mSessionObjects.clear();
      result = ERROR_DATASET;
    }
  }
  for (int i = 0;; ++i) {
    QVariant element;
    {
      std::lock_guard lock(mutex_);
      if (i >= mSessionObjects.size()) break;
      element = mSessionObjects.at(i);
    }
    const std::optional<PtpObjectInfoStruct> wanted = sessionRecordForElement(element);
    if (!wanted) continue;
    PtpObjectInfoStruct record{};
    if (cacheGetRecord(*wanted, &record) != 1) continue;
    std::vector<uint8_t> thumb;
    if (cacheReadThumb(record, thumb) != 1 || thumb.empty()) continue;
    if (sink_)
      sink_(QByteArray(reinterpret_cast<const char*>(thumb.data()), static_cast<qsizetype>(thumb.size())),
            PtpObjectInfoClass::init(&record));
  }
  return result;
}

void SessionList::clearSession() {
  {
    std::lock_guard lock(mutex_);
    mSessionObjects = QVariantList();
    QFile::remove(sessionFilePath());
  }
  if (clearer_) clearer_();
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
  writeLocked();
}

bool SessionList::writeLocked() {
  const QByteArray xml = propertyListToXml(mSessionObjects);
  if (xml.isEmpty()) return false;
  QSaveFile file(sessionFilePath());
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(xml);
  return file.commit();
}

QVariantList SessionList::objects() const {
  std::lock_guard lock(mutex_);
  return mSessionObjects;
}
