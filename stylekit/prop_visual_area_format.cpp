#include "stylekit/prop_visual_area_format.h"

#include <string>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/response_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/vendors/fuji/fuji_values.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "ptp/vendors/sony/sony_images.h"
#include "stylekit/korvalume_properties_style_kit.h"
#include "stylekit/prop_visual_format_buttons.h"

namespace {

using P = KorvalumePropertiesStyleKit;
using Twin = StyleKitImage (*)(QSizeF, double, double, double);

Twin focusAreaTwin(uint32_t value) {
  switch (value) {
    case 0x001: return &P::imageOfSony_FocusArea_WideWithSize;
    case 0x002: return &P::imageOfSony_FocusArea_ZoneWithSize;
    case 0x003: return &P::imageOfSony_FocusArea_CenterWithSize;
    case 0x101: return &P::imageOfSony_FocusArea_FlexibleSpotSmallWithSize;
    case 0x102: return &P::imageOfSony_FocusArea_FlexibleSpotMediumWithSize;
    case 0x103: return &P::imageOfSony_FocusArea_FlexibleSpotLargeWithSize;
    case 0x104: return &P::imageOfSony_FocusArea_ExpandFlexibleSpotWithSize;
    case 0x201: return &P::imageOfSony_FocusArea_Tracking_WideWithSize;
    case 0x202: return &P::imageOfSony_FocusArea_Tracking_ZoneWithSize;
    case 0x203: return &P::imageOfSony_FocusArea_Tracking_CenterWithSize;
    case 0x204: return &P::imageOfSony_FocusArea_Tracking_FlexibleSpotSmallWithSize;
    case 0x205: return &P::imageOfSony_FocusArea_Tracking_FlexibleSpotMediumWithSize;
    case 0x206: return &P::imageOfSony_FocusArea_Tracking_FlexibleSpotLargeWithSize;
    case 0x207: return &P::imageOfSony_FocusArea_Tracking_ExpandFlexibleSpotWithSize;
    default: return nullptr;
  }
}

Twin movieAfAreaTwin(uint32_t value) {
  switch (value) {
    case 0x8010: return &P::imageOfNikon_MovieAfArea_SingleWithSize;
    case 0x8011: return &P::imageOfNikon_MovieAfArea_AutoWithSize;
    case 0x8018: return &P::imageOfNikon_MovieAfArea_WideSWithSize;
    case 0x8019: return &P::imageOfNikon_MovieAfArea_WideLWithSize;
    default: return nullptr;
  }
}

QString jpegSizeLabel(uint16_t sizeCode) {
  switch (sizeCode) {
    case 0: return QStringLiteral("L");
    case 1: return QStringLiteral("M");
    case 2: return QStringLiteral("S");
    case 5: return QStringLiteral("M1");
    case 6: return QStringLiteral("M2");
    case 14: return QStringLiteral("S1");
    case 15: return QStringLiteral("S2");
    case 16: return QStringLiteral("S3");
    default: return {};
  }
}

// Canon packs up to a RAW and a JPEG image in one value: each becomes its part of a button.
PropertyVisual canonImageFormat(QSizeF size, uint32_t value, bool isHighlighted) {
  uint16_t rawSize = 0;
  uint8_t rawQuality = 0;
  const bool hasRaw = camDecodeImageFormat(value, 6, rawSize, rawQuality) == PTP_RC_OK;
  QString rawLabel;
  if (hasRaw) {
    if (rawQuality == 3)
      rawLabel = QStringLiteral("C");
    else if (rawSize == 1)
      rawLabel = QStringLiteral("M");
    else if (rawSize == 2)
      rawLabel = QStringLiteral("S");
  }
  uint16_t jpegSize = 0;
  uint8_t jpegQuality = 0;
  const bool hasJpeg = camDecodeImageFormat(value, 1, jpegSize, jpegQuality) == PTP_RC_OK;
  const QRectF frame(0, 0, size.width(), size.height());
  if (!hasRaw && !hasJpeg) return {};
  if (!hasJpeg) return KorvalumeImageFormatButtons::imageOfImageFormat_RawWithFrame(frame, rawLabel, isHighlighted, true);
  const QString jpegLabel = jpegSizeLabel(jpegSize);
  if (jpegSize == 15 || jpegSize == 16) jpegQuality = 0;
  // Normal (2) shows the compressed mark, fine (3) the smooth one, anything else none.
  const uint64_t compression = jpegQuality == 2 ? 0 : jpegQuality == 3 ? 2 : 1;
  if (!hasRaw)
    return KorvalumeImageFormatButtons::imageOfImageFormat_JpegWithFrame(frame, jpegLabel, compression, isHighlighted,
                                                                        true);
  return KorvalumeImageFormatButtons::imageOfImageFormat_RawPlusJpegWithFrame(frame, jpegLabel, compression, rawLabel,
                                                                              isHighlighted, true);
}

}  // namespace

PropertyVisual KorvalumeAreaFormatVisuals::imageOfFocusArea_WithSize(QSizeF size, uint32_t, uint32_t value,
                                                                     bool isHighlighted) {
  const VisualColour c = visualColourHighlightWins(isHighlighted, false);
  const Twin image = focusAreaTwin(value);
  if (!image) return QStringLiteral("");
  return image(size, c.r, c.g, c.b);
}

PropertyVisual KorvalumeAreaFormatVisuals::imageOfImageFormat_WithSize(QSizeF size, uint32_t propertyCode,
                                                                       uint32_t value, bool isHighlighted) {
  if (value == 0xFFFFFFFF) return QStringLiteral("--");
  std::string text;
  switch (propertyCode) {
    case 0xD018: text = fujiImageQualityText(value); break;
    case 0x5004:
    case 0xD253: text = camIsSony() ? sonyImageQualityText(value) : nikonImageQualityText(value); break;
    case 0xD120: return canonImageFormat(size, value, isHighlighted);
    default: return {};
  }
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

PropertyVisual KorvalumeAreaFormatVisuals::imageOfMovieAfAreaMode_WithSize(QSizeF size, uint32_t propertyCode,
                                                                           uint32_t value, bool isDisabled,
                                                                           bool isHighlighted) {
  const VisualColour c = visualColourHighlightWins(isHighlighted, isDisabled);
  if (propertyCode != 0xD1F8) return {};
  const Twin image = movieAfAreaTwin(value);
  if (!image) return {};
  return image(size, c.r, c.g, c.b);
}
