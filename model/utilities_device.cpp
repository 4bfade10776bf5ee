// Object predicates, device information actions and view geometry.
#include <QWidget>
#include <atomic>

#include "model/command_runner.h"
#include "model/connection_status.h"
#include "model/utilities.h"
#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/geometry.h"
#include "platform/user_defaults.h"
#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/filetypes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/link/commands.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

std::atomic<uint8_t> gFirmwareVersion{0};

constexpr uint32_t kConnected = ConnectionStatusConnected;

QString tr(const char* key) { return Bundle::localizedString(QString::fromLatin1(key)); }

}  // namespace

bool Utilities::isObjectRaw(const PtpObjectInfoStruct* r) {
  if (!r) return false;
  if (r->objectId != 0 && r->objectFormat != 0) return fileFormatIsRaw(r->objectFormat);
  return fileNameIsRaw(objectInfoFileName(*r).c_str());
}

bool Utilities::isObjectJpg(const PtpObjectInfoStruct* r) {
  if (!r) return false;
  if (r->objectId != 0 && r->objectFormat != 0) return fileFormatIsJpegOrTiff(r->objectFormat);
  return fileNameIsJpeg(objectInfoFileName(*r).c_str());
}

bool Utilities::isRawMatch(const PtpObjectInfoStruct& raw, const PtpObjectInfoStruct& jpg) {
  if (!fileFormatIsRaw(raw.objectFormat) || !fileFormatIsJpegOrTiff(jpg.objectFormat)) return false;
  const std::string a = objectInfoFileName(raw).substr(0, 255), b = objectInfoFileName(jpg).substr(0, 255);
  if (a.size() != b.size() || a.size() < 3) return false;
  return a.compare(0, a.size() - 3, b, 0, b.size() - 3) == 0;
}

int Utilities::orientationToUIImageOrientation(uint8_t o) {
  switch (o) {
    case 3: return 1;
    case 6: return 3;
    case 8: return 2;
    default: return 0;
  }
}

uint8_t Utilities::firmwareVersion() { return gFirmwareVersion.load(); }

bool Utilities::isFirmwareUpdateAvailable() {
  const uint8_t v = gFirmwareVersion.load();
  return v > 0 && v < 24;
}

PtpResponseCode Utilities::refreshFirmwareVersion() {
  uint8_t v = 0;
  const PtpResponseCode rc = devGetFirmwareVersion(&v);
  if (rc == PTP_RC_OK) gFirmwareVersion = v;
  return rc;
}

QString Utilities::batteryInfoText(const uint8_t* record) {
  ByteReader r(std::span<const uint8_t>(record, 44));
  auto u = [&](size_t at) { return static_cast<int>(r.u16(at).value_or(0)); };
  const int current = static_cast<int16_t>(r.u16(20).value_or(0));
  return QString::asprintf(
      "Voltage: %d mV\nNominal Total Capacity: %d mAh\nTotal Capacity: %d mAh\nRemaining Capacity: %d mAh\n"
      "Current: %d mA\nRemaining Time: %d mins\nRemaining Percentage: %d %%\nTemperature: %d K",
      u(8), u(14), u(18), u(16), current, u(22), u(32), u(36) / 10);
}

void Utilities::showBatteryInfo() {
  auto record = std::make_shared<std::array<uint8_t, 44>>();
  CommandBlock step(
      [record]() -> int32_t {
        if (currentConnectionStatus() != kConnected) return ERROR_CANCELLED;
        return devGetBatteryInfo(record->data());
      },
      tr("BatteryInfo"));
  Command::runCommands({step}, [record](int32_t rc) {
    if (rc == PTP_RC_OK) showInfoMessage(batteryInfoText(record->data()), tr("BatteryInfoTitle"));
    else if (rc == ERROR_CANCELLED) showWarningMessage(QStringLiteral("Must be connected to get battery info."));
    else showErrorMessage(tr("BatteryInfoFail"), static_cast<uint16_t>(rc));
  });
}

void Utilities::formatKorvalumeSdCard() {
  if (currentConnectionStatus() != kConnected) {
    showErrorMessage(QStringLiteral("Please ensure you are connected before formatting."));
    return;
  }
  CommandBlock step(
      []() -> int32_t {
        bool confirmed = false;
        Dispatch::mainSync([&] {
          auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
          alert->setTitleText(QStringLiteral("Format?"));
          alert->setInformationText(QStringLiteral(
              "Do you want to format the SD card in the Korvalume? This will DELETE all files on the Korvalume SD Card."));
          alert->setOkButtonText(QStringLiteral("Format"), [&confirmed] { confirmed = true; });
          alert->setCancelButtonText(QStringLiteral("Cancel"), nullptr);
          alert->show();
        });
        if (!confirmed) return ERROR_CANCELLED;
        return devFormatSdCard();
      },
      tr("FormatKorvalumeSdCard"));
  Command::runCommands({step}, [](int32_t rc) {
    if (rc == ERROR_CANCELLED) return;
    if (rc == PTP_RC_OK) showInfoMessage(tr("FormatKlSdCardCompleteMsg"), tr("FormatKlSdCardCompleteTitle"));
    else showErrorMessage(tr("FormatKlSdCardError"), static_cast<uint16_t>(rc));
  });
}

PtpResponseCode Utilities::doSetConnectionHostMode(bool on, bool refreshProperties) {
  if (!camIsNikon() && !camIsFujifilm()) return ERROR_CAMERA_NOT_SUPPORTED;
  const PtpResponseCode rc = camSetHostMode(on ? 1 : 0, refreshProperties ? 1 : 0);
  if (rc == PTP_RC_OK) UserDefaults::standardUserDefaults().setBool(on, kDefaultsHostMode);
  return rc;
}

QRectF Utilities::rectThatFitsImageSize(QSizeF image, QSizeF bounds) { return Geometry::aspectFitRect(image, bounds); }

QRectF Utilities::rectThatFitsImageSize(QSizeF image, const QWidget* view) {
  const QSizeF bounds = view ? QSizeF(view->size()) : QSizeF();
  QRectF r = rectThatFitsImageSize(image, bounds);
  if (view) r.translate(view->pos());
  return r;
}

QRectF Utilities::calculateClientRectOfImage(QSizeF image, const QWidget* view) {
  if (image.width() == 0) return {};
  return rectThatFitsImageSize(image, view);
}

QPointF Utilities::convertPointToImageCoordinates(QPointF p, QSizeF image, const QWidget* view) {
  const QRectF r = calculateClientRectOfImage(image, view);
  if (r.width() <= 0 || r.height() <= 0 || !r.contains(p)) return {-1, -1};
  return {(p.x() - r.x()) / r.width(), (p.y() - r.y()) / r.height()};
}

QPointF Utilities::convertPoint(QPointF p, QRectF from, QRectF to) {
  if (from.width() == 0 || from.height() == 0) return {};
  return {p.x() * to.width() / from.width(), p.y() * to.height() / from.height()};
}
