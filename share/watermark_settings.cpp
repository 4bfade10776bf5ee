#include "share/watermark_settings.h"

#include <QStringDecoder>

#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/byte_reader.h"

std::optional<WatermarkSettings> watermarkSettingsFromBytes(std::span<const uint8_t> payload) {
  ByteReader r(payload);
  // A cut record would leave its text (and maybe its flags) to whatever follows it.
  if (!r.has(0, kWatermarkRecordBytes)) return std::nullopt;
  WatermarkSettings s;
  s.show = *r.u8(4) != 0;
  s.location = *r.u8(5);
  s.size = *r.u8(6);
  const std::string raw = *r.cstring(kWatermarkTextOffset, kWatermarkTextBytes);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(raw.data(), qsizetype(raw.size())));
  if (!utf8.hasError()) s.text = text.isNull() ? QString(QLatin1String("")) : text;
  return s;
}

void watermarkSettingsStore(const WatermarkSettings& settings, UserDefaults& defaults) {
  defaults.setBool(settings.show, QString::fromLatin1(kDefaultsShowWatermark));
  defaults.setInteger(settings.location, QString::fromLatin1(kDefaultsWatermarkLocation));
  defaults.setInteger(settings.size, QString::fromLatin1(kDefaultsWatermarkSize));
  if (!settings.text.isNull())
    defaults.setObject(QString(QChar(0x00A9)) + QLatin1Char(' ') + settings.text,
                       QString::fromLatin1(kDefaultsWatermarkText));
  defaults.synchronize();
}
