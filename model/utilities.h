#pragma once
// Class methods the whole application uses: user messages (alerts) and the process-wide
// connection status.
//
// The message methods may be called from any thread: on the GUI thread the alert is shown
// at once (application-modal, so the call returns when the user answers); from any other
// thread the call is queued to the GUI thread and returns at once. A null text leaves its
// field empty.
#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "model/exif_reader.h"
#include "ptp/base/object_info.h"
#include "ptp/base/response_codes.h"

class QWidget;

class Utilities {
 public:
  Utilities() = delete;

  // ---- messages
  // Note style. autoDismiss is carried along but changes nothing.
  static void showInfoMessage(const QString& message, const QString& withTitle, bool autoDismiss = false);
  // Caution style, titled "Warning".
  static void showWarningMessage(const QString& message);
  // Stop style, titled "Error"; a help text adds the help button.
  static void showErrorMessage(const QString& message, const QString& helpMessage = QString());
  // The message, two blanks and the text of the response code.
  static void showErrorMessage(const QString& message, uint16_t withErrorCode);
  // Stop style, titled "Error", not modal, closes itself after delay seconds.
  static void showAndDismissErrorMessage(const QString& message, double delay);

  // ---- connection status
  // value when it lies in 1..8, else ConnectionStatusUnknown.
  static int connectionStatusForInteger(long long value);
  static void setCurrentConnectionStatus(uint32_t status);
  static uint32_t currentConnectionStatus();

  // No network name is known to the program: "".
  static QString currentSsid();
  // Always 1.
  static int numberOfLinesForString(const QString& string, const QWidget* inTextView);
  // Collects its arguments and answers null; no other effect.
  static std::nullptr_t returnValueLog(std::initializer_list<QVariant> values);
  // Free bytes on the file system that holds the home folder (0 when unknown).
  static double freeDiskSpaceInBytes();

  // ---- downloads, cache and save folder
  // version 1: the original object; any other: the display image (a cached ".mod.jpg",
  // else an extracted JPEG, else the object). out is set only on 0x2001.
  static PtpResponseCode downloadImage(const PtpObjectInfoStruct& record, QByteArray& out, uint8_t version);
  // The first cached ".mod.jpg", downloaded object or ".ext.jpg"; never asks the device.
  static PtpResponseCode getAnyCachedImage(const PtpObjectInfoStruct& record, QByteArray& out);
  // A thumbnail no larger than maxPixelSize on its longer side, turned upright, encoded
  // again in the data's own format; empty when the data is no image or cannot be written.
  static QByteArray thumbnailWithData(const QByteArray& data, double maxPixelSize);
  // "<Documents>/Cache".
  static QString cacheFolderPath();
  // Empties the cache behind a wait overlay: the library's list and the cache's own files.
  static void clearCache();
  static void checkCacheSize();
  // Removes the cache's own files in the folder last changed more than three days ago.
  static bool checkCacheSize(uint64_t bytes, const QString& folder);
  // Creates or prunes the cache folder and loads the cache, on a worker; nothing without a
  // save folder, nor again for the folders loaded last or being loaded.
  static void configureCache();
  // Waits up to deadline for the loads configureCache started; true when none is left.
  static bool waitForCacheLoad(std::chrono::milliseconds deadline);
  // Restores the save folder at start-up, asking the user when it is gone.
  static void checkFolderAccess();
  // Asks the user for a save folder.
  static void selectSaveDataDirectory();
  // Who picks a folder (a dialog by default; tests answer it). An empty answer cancels.
  using FolderChooser = std::function<QString()>;
  static void setFolderChooser(FolderChooser chooser);
  // A folder handle kept across launches: the folder's path, usable while it exists and is
  // writable. Empty when the folder cannot be used.
  static QByteArray bookmarkForFolder(const QString& path);
  static QString folderForBookmark(const QByteArray& bookmark);

  // ---- objects
  static bool isObjectRaw(const PtpObjectInfoStruct* record);
  static bool isObjectJpg(const PtpObjectInfoStruct* record);
  // A raw and a JPEG of one shot: names of one length that differ only in the extension.
  static bool isRawMatch(const PtpObjectInfoStruct& raw, const PtpObjectInfoStruct& jpg);
  static int orientationToUIImageOrientation(uint8_t orientation);
  static constexpr uint32_t exifHeaderLength() { return kExifHeaderLength; }

  // ---- device information
  static uint8_t firmwareVersion();
  static bool isFirmwareUpdateAvailable();
  static PtpResponseCode refreshFirmwareVersion();
  static void showBatteryInfo();
  // The battery message's text for a 44-byte record.
  static QString batteryInfoText(const uint8_t* record44);
  static void formatKorvalumeSdCard();
  // Nikon and Fujifilm only; remembers the mode under "HostMode" on success.
  static PtpResponseCode doSetConnectionHostMode(bool on, bool refreshProperties);

  // ---- sharing and re-encoding
  // The file to share for an object; wasCreated tells the caller to remove it afterwards.
  static QString getImagePathForSharing(const PtpObjectInfoStruct* record, bool& wasCreated,
                                        bool forceUseExtractedJpg, bool forceUseRaw);
  static QByteArray getImageForSharing(const PtpObjectInfoStruct* record, bool forceUseExtractedJpg,
                                       bool forceUseRaw);
  // The image written again in its own format with this orientation, followed by the
  // original's last exifHeaderLength() bytes; empty when the data is no image.
  static QByteArray setOrientation(uint8_t orientation, const QByteArray& imageData);
  // A JPEG at quality 0.8 carrying the orientation.
  static bool saveImage(const QImage& image, const QString& path, uint8_t orientation);

  // ---- movies
  // Downloads a movie into the save folder in 2 MiB ranges behind a progress HUD with Cancel.
  static void downloadVideoToLibrary(const PtpObjectInfoStruct& record);
  // The same without the HUD: progress(fraction) after each range; a true cancel() stops.
  // The movie lands under a name of its own in the folder (never over another file); a
  // failure or a cancel leaves nothing behind. The path written, or empty with the code.
  static QString downloadVideo(const PtpObjectInfoStruct& record, const QString& folder,
                               const std::function<void(double)>& progress, const std::function<bool()>& cancelled,
                               PtpResponseCode& result);

  // ---- geometry (y as the view has it)
  static QRectF rectThatFitsImageSize(QSizeF image, QSizeF bounds);
  static QRectF rectThatFitsImageSize(QSizeF image, const QWidget* view);
  // The aspect-fit rect of an image in a view's frame (offset by the frame's origin).
  static QRectF calculateClientRectOfImage(QSizeF image, const QWidget* view);
  // (0..1, 0..1) across the shown image, or (-1, -1) outside it.
  static QPointF convertPointToImageCoordinates(QPointF point, QSizeF image, const QWidget* view);
  static QPointF convertPoint(QPointF point, QRectF from, QRectF to);
};
