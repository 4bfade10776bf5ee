// The file to share for an object, re-encoding with an orientation, and movie downloads.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPointer>
#include <QWidget>
#include <atomic>

#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "platform/user_defaults.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/local_name.h"
#include "ptp/cache/cache.h"
#include "ptp/link/commands.h"
#include "ptp/link/mailbox.h"
#include "ui/widgets/hud/mb_progress_hud.h"

namespace {

QString fromStd(const std::optional<std::string>& s) { return s ? QString::fromStdString(*s) : QString(); }

// Downloads the display image into the cache; false after telling the user.
bool downloadForSharing(const PtpObjectInfoStruct& record) {
  QByteArray data;
  if (Utilities::downloadImage(record, data, shareGetMode()) == PTP_RC_OK && !data.isEmpty()) return true;
  Utilities::showErrorMessage(Bundle::localizedString(QStringLiteral("ImageDownloadFail")));
  return false;
}

// Movies are read in ranges of this many bytes.
constexpr uint32_t kVideoRange = 0x200000;

// "name.ext", else "name_2.ext", "name_3.ext", …: a movie never replaces a file already there.
QString freeName(const QDir& dir, const QString& name) {
  if (!QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
  const QFileInfo f(name);
  const QString base = f.completeBaseName(), suffix = f.suffix();
  for (int n = 2; n < 100000; ++n) {
    const QString candidate = suffix.isEmpty() ? QStringLiteral("%1_%2").arg(base).arg(n)
                                               : QStringLiteral("%1_%2.%3").arg(base).arg(n).arg(suffix);
    if (!QFileInfo::exists(dir.filePath(candidate))) return dir.filePath(candidate);
  }
  return {};
}

// A JPEG carrying the orientation in an EXIF segment right after its start marker; other
// formats and other orientations pass unchanged.
QByteArray withOrientation(QByteArray jpeg, uint8_t orientation) {
  if (orientation < 1 || orientation > 8 || !jpeg.startsWith("\xFF\xD8")) return jpeg;
  static const char kSegment[] =
      "\xFF\xE1\x00\x22"                  // APP1, 34 bytes
      "Exif\x00\x00"                         //
      "MM\x00\x2A\x00\x00\x00\x08"          // big-endian TIFF, IFD at 8
      "\x00\x01"                             // one entry:
      "\x01\x12\x00\x03\x00\x00\x00\x01"    //   Orientation, SHORT, 1
      "\x00\x00\x00\x00"                     //   value (set below)
      "\x00\x00\x00\x00";                    // no next IFD
  QByteArray segment(kSegment, sizeof kSegment - 1);
  segment[4 + 6 + 8 + 2 + 8 + 1] = static_cast<char>(orientation);
  jpeg.insert(2, segment);
  return jpeg;
}

QByteArray encode(const QImage& image, const QByteArray& format, int quality) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (quality >= 0) writer.setQuality(quality);
  if (!writer.write(image)) return {};
  return out;
}

}  // namespace

QString Utilities::getImagePathForSharing(const PtpObjectInfoStruct* record, bool& wasCreated,
                                          bool forceUseExtractedJpg, bool forceUseRaw) {
  wasCreated = false;
  if (!record) return {};
  const std::string name = objectInfoFileName(*record);
  if (fileNameIsMovie(name.c_str())) {
    showErrorMessage(QStringLiteral("Incorrectly using still function for video."));
    return {};
  }
  const bool raw = isObjectRaw(record);
  if (raw && forceUseRaw) {
    QString path = fromStd(cacheObjectPath(*record));
    if (!path.isEmpty()) return path;
    if (!downloadForSharing(*record)) return {};
    return fromStd(cacheObjectPath(*record));
  }
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  const bool watermark = defaults.boolForKey(kDefaultsShowWatermark) &&
                         !defaults.stringForKey(kDefaultsWatermarkText).isEmpty();
  QString path = fromStd(cacheModifiedJpegPath(*record));
  if (path.isEmpty()) path = fromStd(cacheBestImagePath(*record, true));
  if (path.isEmpty()) {
    if (!downloadForSharing(*record)) return {};
    path = fromStd(cacheBestImagePath(*record, true));
    if (path.isEmpty()) return {};
  }
  if ((raw && forceUseExtractedJpg) || (watermark && fileNameIsRaw(path.toUtf8().constData()))) {
    QString extracted = fromStd(cacheExtractedJpegPath(*record));
    if (extracted.isEmpty()) extracted = fromStd(fileExtractRawJpegToCache(*record, path.toStdString()));
    if (extracted.isEmpty()) return {};
    path = extracted;
  }
  if (!watermark) return path;
  // No watermark renderer exists: the user is told, and nothing is shared unmarked.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    showErrorMessage(QStringLiteral("Error getting data from cache file."));
    return {};
  }
  showErrorMessage(Bundle::localizedString(QStringLiteral("WatermarkCreateError")));
  return {};
}

QByteArray Utilities::getImageForSharing(const PtpObjectInfoStruct* record, bool forceUseExtractedJpg,
                                         bool forceUseRaw) {
  bool created = false;
  const QString path = getImagePathForSharing(record, created, forceUseExtractedJpg, forceUseRaw);
  if (path.isEmpty()) return {};
  QFile file(path);
  QByteArray data;
  if (file.open(QIODevice::ReadOnly)) data = file.readAll();
  file.close();
  if (created) QFile::remove(path);
  return data;
}

QByteArray Utilities::setOrientation(uint8_t orientation, const QByteArray& imageData) {
  QBuffer in;
  in.setData(imageData);
  in.open(QIODevice::ReadOnly);
  QImageReader reader(&in);
  reader.setAutoTransform(false);
  const QByteArray format = reader.format();
  const QImage image = reader.read();
  if (format.isEmpty() || image.isNull()) return {};
  QByteArray out = encode(image, format, -1);
  if (out.isEmpty()) return {};
  out = withOrientation(std::move(out), orientation);
  // The original's tail travels along; a shorter original goes along whole.
  out.append(imageData.right(std::min<qsizetype>(imageData.size(), exifHeaderLength())));
  return out;
}

bool Utilities::saveImage(const QImage& image, const QString& path, uint8_t orientation) {
  const QByteArray jpeg = withOrientation(encode(image, "jpeg", 80), orientation);
  if (jpeg.isEmpty()) return false;
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(jpeg) == jpeg.size() && file.flush();
}

QString Utilities::downloadVideo(const PtpObjectInfoStruct& record, const QString& folder,
                                 const std::function<void(double)>& progress, const std::function<bool()>& cancelled,
                                 PtpResponseCode& result) {
  result = ERROR_GENERAL;
  const QDir dir(folder);
  // The device's name becomes a file name only through the safe local name.
  const QString name = QString::fromStdString(localName(objectInfoFileName(record)));
  const QString target = freeName(dir, name);
  if (folder.isEmpty() || target.isEmpty()) {
    showErrorMessage(QStringLiteral("Failed to create video file"));
    return {};
  }
  // Written under a temporary name and renamed when complete: a failed or cancelled
  // download never leaves a truncated movie that looks whole.
  const QString partial = dir.filePath(QStringLiteral(".%1.kvdownload").arg(QFileInfo(target).fileName()));
  QFile file(partial);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    showErrorMessage(QStringLiteral("Failed to create video file."));
    return {};
  }
  auto giveUp = [&] {
    file.close();
    QFile::remove(partial);
    return QString();
  };
  const uint32_t total = record.objectCompressedSize;
  uint32_t offset = 0;
  while (offset < total) {
    ByteBuffer chunk;
    const uint32_t asked = std::min(kVideoRange, total - offset);
    const PtpResponseCode rc = devGetPartialObject(&record, offset, asked, chunk, 0);
    // A range longer than asked would put bytes where the next range belongs.
    if (rc != PTP_RC_OK || chunk.empty() || chunk.size() > asked) {
      result = rc != PTP_RC_OK ? rc : ERROR_BAD_REPLY;
      showErrorMessage(QStringLiteral("Failed to download video."), result);
      return giveUp();
    }
    if (cancelled && cancelled()) {
      result = ERROR_CANCELLED;
      return giveUp();
    }
    if (file.write(reinterpret_cast<const char*>(chunk.data()), static_cast<qint64>(chunk.size())) !=
        static_cast<qint64>(chunk.size())) {
      showErrorMessage(QStringLiteral("Failed to write data to video file"));
      return giveUp();
    }
    const double done = static_cast<double>(offset) / static_cast<double>(total);
    if (progress) progress(done);
    offset += static_cast<uint32_t>(chunk.size());
    if (cancelled && cancelled()) {
      result = ERROR_CANCELLED;
      return giveUp();
    }
  }
  if (!file.flush()) {
    showErrorMessage(QStringLiteral("Failed to write data to video file"));
    return giveUp();
  }
  file.close();
  // Another file may have taken the name meanwhile: rename never replaces one.
  QString finalPath = target;
  if (!QFile::rename(partial, finalPath)) {
    finalPath = freeName(dir, name);
    if (finalPath.isEmpty() || !QFile::rename(partial, finalPath)) {
      showErrorMessage(QStringLiteral("Failed to create video file"));
      QFile::remove(partial);
      return {};
    }
  }
  result = PTP_RC_OK;
  return finalPath;
}

void Utilities::downloadVideoToLibrary(const PtpObjectInfoStruct& record) {
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  auto hud = std::make_shared<QPointer<MBProgressHUD>>();
  auto onMain = [](std::function<void()> fn) { Dispatch::main(std::move(fn)); };
  onMain([hud, cancel] {
    QWidget* window = QApplication::activeWindow();
    if (!window) {
      const auto tops = QApplication::topLevelWidgets();
      for (QWidget* w : tops)
        if (w->isVisible()) window = w;
    }
    if (!window) return;
    MBProgressHUD* h = MBProgressHUD::showHUDAddedTo(window, true);
    h->setMode(HudModeBar);
    h->setLabelText(QStringLiteral("0%"));
    h->setProgress(0);
    h->setupButton(QStringLiteral("Cancel"), [cancel] { *cancel = true; });
    *hud = h;
  });
  const QString folder = UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath);
  // A movie takes long: its own serial queue, not the shared pool.
  static DispatchQueue downloads("com.korvalume.video-download");
  downloads.async([record, folder, cancel, hud, onMain] {
    PtpResponseCode rc = PTP_RC_OK;
    downloadVideo(
        record, folder,
        [hud, onMain](double done) {
          onMain([hud, done] {
            if (*hud) {
              (*hud)->setLabelText(QString::asprintf("%0.f%%", done * 100));
              (*hud)->setProgress(static_cast<float>(done));
            }
          });
        },
        [cancel] { return cancel->load(); }, rc);
    onMain([hud] {
      if (*hud) (*hud)->hide(true);
    });
  });
}
