// Downloads into memory, thumbnails, and the two folders of the cache: the cache folder in
// Documents and the save folder the user picks.
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMutex>
#include <QtDebug>

#include <condition_variable>
#include <mutex>

#include "model/cache_folder.h"
#include "model/command_runner.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/paths.h"
#include "platform/user_defaults.h"
#include "platform/worker_threads.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"
#include "ptp/cache/fetch.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

QByteArray toByteArray(std::vector<uint8_t>&& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QMutex gChooserMutex;
Utilities::FolderChooser gChooser;

// The folder a user picks: the alert that explains, then the folder dialog.
QString askForFolder() {
  {
    QMutexLocker lock(&gChooserMutex);
    if (gChooser) return gChooser();
  }
  QString chosen;
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleStop);
  alert->setTitleText(QStringLiteral("Select Directory"));
  alert->setInformationText(QStringLiteral("Please select a directory to save downloaded images"));
  alert->setOkButtonText(QStringLiteral("OK"), [&chosen] {
    chosen = QFileDialog::getExistingDirectory(nullptr, QString(), QString(), QFileDialog::ShowDirsOnly);
  });
  alert->setCancelHidden(true);
  alert->show();
  return chosen;
}

}  // namespace

PtpResponseCode Utilities::downloadImage(const PtpObjectInfoStruct& record, QByteArray& out, uint8_t version) {
  std::vector<uint8_t> bytes;
  uint8_t downloaded = 0;  // not asked for here, but the fetch refuses a null one
  const PtpResponseCode rc = version == 1 ? fetchObjectData(&record, bytes)
                                          : fetchDisplayImageData(&record, bytes, 0, &downloaded, true);
  if (rc == PTP_RC_OK) out = toByteArray(std::move(bytes));
  return rc;
}

PtpResponseCode Utilities::getAnyCachedImage(const PtpObjectInfoStruct& record, QByteArray& out) {
  PtpObjectInfoStruct copy = record;
  if (copy.imagePixWidth == 0 && copy.objectId != 0) fetchObjectInfo(&copy, true);
  std::vector<uint8_t> bytes;
  if (cacheReadModifiedJpeg(copy, bytes) == 1 || cacheReadObject(copy, bytes) == 1 ||
      cacheReadExtractedJpeg(copy, bytes) == 1) {
    out = toByteArray(std::move(bytes));
    return PTP_RC_OK;
  }
  return ERROR_GENERAL;
}

QByteArray Utilities::thumbnailWithData(const QByteArray& data, double maxPixelSize) {
  QBuffer in;
  in.setData(data);
  in.open(QIODevice::ReadOnly);
  QImageReader reader(&in);
  reader.setAutoTransform(true);
  const QByteArray format = reader.format();
  if (format.isEmpty() || !reader.canRead()) return {};
  const QSize full = reader.size();
  if (full.isValid() && maxPixelSize >= 1 && std::max(full.width(), full.height()) > maxPixelSize) {
    // Decoding straight at the smaller size spares memory on large photographs.
    reader.setScaledSize(full.scaled(QSize(int(maxPixelSize), int(maxPixelSize)), Qt::KeepAspectRatio));
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (maxPixelSize >= 1 && std::max(image.width(), image.height()) > maxPixelSize)
    image = image.scaled(QSize(int(maxPixelSize), int(maxPixelSize)), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.canWrite() || !writer.write(image)) return {};
  return out;
}

QString Utilities::cacheFolderPath() { return Paths::documentsDirectory() + QStringLiteral("/Cache"); }

void Utilities::clearCache() {
  CommandBlock step(
      [] {
        const QString folder = cacheFolderPath();
        QDir dir(folder);
        bool removed = true;
        if (dir.exists()) {
          for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
            if (isCacheOwnFile(f) && !QFile::remove(f.absoluteFilePath())) removed = false;
        }
        cacheClear();
        if (!removed) {
          showErrorMessage(QStringLiteral("%1: %2").arg(Bundle::localizedString(QStringLiteral("CacheClearFailure")),
                                                         QStringLiteral("a file could not be removed")));
          return int32_t(-1);
        }
        if (!QDir().mkpath(folder)) {
          showErrorMessage(QStringLiteral("%1: %2").arg(Bundle::localizedString(QStringLiteral("CacheCreateFailure")),
                                                         folder));
          return int32_t(-1);
        }
        return int32_t(0);
      },
      Bundle::localizedString(QStringLiteral("CacheClear")));
  Command::runCommands({step}, [](int32_t) {});
}

void Utilities::checkCacheSize() {
  const qint64 gb = UserDefaults::standardUserDefaults().integerForKey(kDefaultsCacheSizeGB);
  checkCacheSize(static_cast<uint64_t>(std::max<qint64>(gb, 0)) * 1000000000ull, cacheFolderPath());
}

bool Utilities::checkCacheSize(uint64_t /*bytes*/, const QString& folder) {
  const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-259200);
  // A record's identity (which saved files are its own) goes with the record, never
  // alone: it is written once, when the file is saved, and so is often the oldest.
  const QString identity = QString::fromLatin1(kIdentitySuffix.data(), qsizetype(kIdentitySuffix.size()));
  QStringList identities;
  for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!isCacheOwnFile(f)) continue;
    if (f.fileName().endsWith(identity))
      identities.append(f.absoluteFilePath());
    else if (f.lastModified().toUTC() < limit)
      QFile::remove(f.absoluteFilePath());
  }
  for (const QString& path : identities) {
    const QString record = path.chopped(identity.size()) + QStringLiteral(".obj");
    if (!QFileInfo::exists(record)) QFile::remove(path);
  }
  return true;
}

namespace {

// The cache's load: one at a time per pair of folders, on a worker of its own (it reads
// every record in the folder), so that start-up and a later change of save folder never
// load twice at once, and a connect can wait for it.
struct CacheLoads {
  std::mutex mutex;
  std::condition_variable changed;
  int pending = 0;
  QString cache, save;  // the pair loaded last, or being loaded
};

CacheLoads& cacheLoads() {
  static CacheLoads* loads = new CacheLoads;  // a let-go worker may still report at exit
  return *loads;
}

void prepareAndLoad(const QString& folder, const QString& save) {
  if (QDir(folder).exists())
    Utilities::checkCacheSize();
  else
    QDir().mkpath(folder);
  const QByteArray cache = folder.toUtf8(), download = save.toUtf8();
  cacheLoad(cache.constData(), download.constData());
  cacheSetDownloadDir(download.constData());
}

}  // namespace

void Utilities::configureCache() {
  const QString folder = cacheFolderPath();
  const QString save = UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath);
  // Objects go to the save folder too: without one the user has to choose first.
  if (save.isEmpty()) return;
  CacheLoads& loads = cacheLoads();
  {
    std::lock_guard<std::mutex> lock(loads.mutex);
    if (loads.cache == folder && loads.save == save) return;  // loaded, or on its way
    loads.cache = folder;
    loads.save = save;
    ++loads.pending;
  }
  auto finished = [] {
    {
      std::lock_guard<std::mutex> lock(cacheLoads().mutex);
      --cacheLoads().pending;
    }
    cacheLoads().changed.notify_all();
  };
  if (!WorkerThreads::start([folder, save, finished] {
        prepareAndLoad(folder, save);
        finished();
      })) {
    prepareAndLoad(folder, save);
    finished();
  }
}

bool Utilities::waitForCacheLoad(std::chrono::milliseconds deadline) {
  CacheLoads& loads = cacheLoads();
  std::unique_lock<std::mutex> lock(loads.mutex);
  return loads.changed.wait_for(lock, deadline, [&loads] { return loads.pending == 0; });
}

QByteArray Utilities::bookmarkForFolder(const QString& path) {
  const QFileInfo f(path);
  if (path.isEmpty() || !f.isDir() || !f.isWritable()) return {};
  return f.absoluteFilePath().toUtf8();
}

QString Utilities::folderForBookmark(const QByteArray& bookmark) {
  const QString path = QString::fromUtf8(bookmark);
  const QFileInfo f(path);
  if (path.isEmpty() || !f.isDir() || !f.isWritable()) return {};
  return f.absoluteFilePath();
}

void Utilities::setFolderChooser(FolderChooser chooser) {
  QMutexLocker lock(&gChooserMutex);
  gChooser = std::move(chooser);
}

void Utilities::checkFolderAccess() {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  const QByteArray bookmark = defaults.dataForKey(kDefaultsSandboxBookmark);
  if (bookmark.isEmpty()) return selectSaveDataDirectory();
  const QString folder = folderForBookmark(bookmark);
  if (folder.isEmpty()) return selectSaveDataDirectory();
  // A folder that moved under a link is kept by its current path.
  const QByteArray fresh = bookmarkForFolder(folder);
  if (fresh != bookmark) {
    if (fresh.isEmpty()) return selectSaveDataDirectory();
    defaults.setObject(fresh, kDefaultsSandboxBookmark);
  }
  defaults.setObject(folder, kDefaultsSaveFolderPath);
  qInfo().noquote() << QStringLiteral("Set Korvalume folder path to %1").arg(folder);
  configureCache();
}

void Utilities::selectSaveDataDirectory() {
  const QString chosen = askForFolder();
  if (chosen.isEmpty()) return;  // cancelled: nothing changes
  const QByteArray bookmark = bookmarkForFolder(chosen);
  if (bookmark.isEmpty()) {
    showErrorMessage(QStringLiteral("Failed to save sandbox data: %1").arg(
        QStringLiteral("the folder %1 cannot be written").arg(chosen)));
    return;
  }
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  defaults.setObject(bookmark, kDefaultsSandboxBookmark);
  defaults.setObject(QString::fromUtf8(bookmark), kDefaultsSaveFolderPath);
  qInfo().noquote() << QStringLiteral("Set Korvalume 2 folder path to %1").arg(QString::fromUtf8(bookmark));
  configureCache();
}
