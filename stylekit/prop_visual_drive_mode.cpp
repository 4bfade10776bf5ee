#include "stylekit/prop_visual_drive_mode.h"

#include <array>

#include "stylekit/korvalume_properties_style_kit.h"

namespace {

using P = KorvalumePropertiesStyleKit;
using Twin = StyleKitImage (*)(QSizeF, double, double, double);

PropertyVisual twin(Twin image, QSizeF size, VisualColour c) { return image(size, c.r, c.g, c.b); }

PropertyVisual timerCounter(QSizeF size, VisualColour c, double fontSize, const char* seconds, const char* count) {
  return P::imageOfDriveMode_TimerSecondsCounterWithSize(size, c.r, c.g, c.b, fontSize, QString::fromLatin1(seconds),
                                                         QString::fromLatin1(count));
}

PropertyVisual bracket(QSizeF size, VisualColour c, double fontSize, const QString& bottom, const QString& top) {
  return P::imageOfDriveMode_SonyBracketWithSize(size, c.r, c.g, c.b, fontSize, bottom, top);
}

struct Step {
  uint8_t byte;
  const char* text;
};
constexpr std::array<Step, 12> kSteps{{{0x10, "1.0"}, {0x20, "2.0"}, {0x30, "3.0"}, {0x36, "0.3"},
                                       {0x40, "1.3"}, {0x50, "2.3"}, {0x56, "0.5"}, {0x60, "1.5"},
                                       {0x70, "2.5"}, {0x76, "0.7"}, {0x80, "1.7"}, {0x90, "2.7"}}};

// The step's text when the shot count offers that step, else null.
const char* stepText(unsigned shots, uint8_t byte) {
  for (const Step& s : kSteps) {
    if (s.byte != byte) continue;
    if (shots == 7) {
      const bool offered = byte == 0x10 || byte == 0x20 || byte == 0x36 || byte == 0x40 || byte == 0x56 ||
                           byte == 0x60 || byte == 0x76 || byte == 0x80;
      return offered ? s.text : nullptr;
    }
    if (shots == 9) return (byte == 0x10 || byte == 0x36 || byte == 0x56 || byte == 0x76) ? s.text : nullptr;
    return s.text;
  }
  return nullptr;
}

// Exposure brackets: 0x8N00 + step (+1 continuous) for N = 3, 5, 7, 9 shots; 0xC200 + step
// (+8 for the minus side, +1 continuous) for two shots.
PropertyVisual exposureBracket(QSizeF size, VisualColour c, double fontSize, uint16_t v) {
  const unsigned hi = v >> 8;
  const uint8_t lo = v & 0xFF;
  const QString top = (lo & 1) ? QStringLiteral("C") : QStringLiteral("S");
  if (hi == 0x83 || hi == 0x85 || hi == 0x87 || hi == 0x89) {
    const unsigned shots = hi & 0x0F;
    const char* step = stepText(shots, lo & 0xFE);
    if (!step) return {};
    return bracket(size, c, fontSize, QStringLiteral("%1EV %2").arg(QLatin1String(step)).arg(shots), top);
  }
  if (hi == 0xC2) {
    const bool minus = lo & 0x08;
    const char* step = stepText(2, lo & 0xF6);
    if (!step) return {};
    const QString bottom = QStringLiteral("%1EV 2%2").arg(QLatin1String(step), QLatin1String(minus ? "-" : "+"));
    return bracket(size, c, minus ? fontSize : fontSize - 0.5, bottom, top);
  }
  return {};
}

}  // namespace

PropertyVisual KorvalumeDriveModeVisuals::imageOfSonyDriveMode_WithSize(QSizeF size, uint32_t, uint32_t value,
                                                                        bool isDisabled, bool isHighlighted) {
  const VisualColour c = visualColourHighlightWins(isHighlighted, isDisabled);
  const double fontSize = 0.25 * size.width();
  const uint16_t v = value & 0xFFFF;
  switch (v) {
    case 1: return twin(&P::imageOfDriveMode_SingleWithSize, size, c);
    case 2: return twin(&P::imageOfDriveMode_ContinuousHighSpeedWithSize, size, c);
    case 0x8003: return timerCounter(size, c, fontSize, "5s", "");
    case 0x8004: return timerCounter(size, c, fontSize, "10s", "");
    case 0x8005: return timerCounter(size, c, fontSize, "2s", "");
    case 0x8008: return timerCounter(size, c, fontSize, "", "3");
    case 0x8009: return timerCounter(size, c, fontSize, "", "5");
    case 0x800C: return timerCounter(size, c, fontSize, "5s", "3");
    case 0x800D: return timerCounter(size, c, fontSize, "5s", "5");
    case 0x800E: return timerCounter(size, c, fontSize, "2s", "3");
    case 0x800F: return timerCounter(size, c, fontSize, "2s", "5");
    case 0x8010: return twin(&P::imageOfDriveMode_ContinuousHighPlusWithSize, size, c);
    case 0x8012: return twin(&P::imageOfDriveMode_ContinuousLowSpeedWithSize, size, c);
    case 0x8015: return twin(&P::imageOfDriveMode_ContinuousMediumWithSize, size, c);
    case 0x8018: return bracket(size, c, fontSize, QStringLiteral("WB"), QStringLiteral("LO"));
    case 0x8019: return bracket(size, c, fontSize, QStringLiteral("DRO"), QStringLiteral("LO"));
    case 0x8028: return bracket(size, c, fontSize, QStringLiteral("WB"), QStringLiteral("HI"));
    case 0x8029: return bracket(size, c, fontSize, QStringLiteral("DRO"), QStringLiteral("HI"));
    case 0x8040: return bracket(size, c, fontSize, QStringLiteral("Focus"), QStringLiteral("\t"));
    default: return exposureBracket(size, c, fontSize, v);
  }
}

PropertyVisual KorvalumeDriveModeVisuals::imageOfDriveMode_WithSize(QSizeF size, uint32_t propertyCode,
                                                                    uint32_t value, bool isDisabled,
                                                                    bool isHighlighted) {
  const VisualColour c = visualColourHighlightWins(isHighlighted, isDisabled);
  if (propertyCode == 0x5013) {
    switch (value) {
      case 1: return twin(&P::imageOfDriveMode_SingleWithSize, size, c);
      case 2: return twin(&P::imageOfDriveMode_ContinuousWithSize, size, c);
      case 0x8010: return twin(&P::imageOfDriveMode_ContinuousLowSpeedWithSize, size, c);
      case 0x8011: return twin(&P::imageOfDriveMode_TimerWithSize, size, c);
      case 0x8012: return QStringLiteral("MUP");
      case 0x8013: return QStringLiteral("LV");
      case 0x8014: return twin(&P::imageOfDriveMode_RemoteWithSize, size, c);
      case 0x8015: return twin(&P::imageOfDriveMode_DelayRemoteWithSize, size, c);
      case 0x8016: return twin(&P::imageOfDriveMode_QuietWithSize, size, c);
      case 0x8017: return twin(&P::imageOfDriveMode_RemoteWithSize, size, c);
      case 0x8018: return twin(&P::imageOfDriveMode_QuietContinuousWithSize, size, c);
      case 0x8019: return twin(&P::imageOfDriveMode_ContinuousExtendedWithSize, size, c);
      case 0x8100: return QStringLiteral("Custom");
      case 0x811E: return twin(&P::imageOfDriveMode_Continuous30WithSize, size, c);
      case 0x813C: return twin(&P::imageOfDriveMode_Continuous60WithSize, size, c);
      case 0x8178: return twin(&P::imageOfDriveMode_Continuous120WithSize, size, c);
      default: return QString::number(static_cast<int32_t>(value));
    }
  }
  if (propertyCode == 0xD1A1) {
    switch (value) {
      case 0: return twin(&P::imageOfDriveMode_SingleWithSize, size, c);
      case 1: return twin(&P::imageOfDriveMode_ContinuousLowSpeedWithSize, size, c);
      case 2: return twin(&P::imageOfDriveMode_ContinuousWithSize, size, c);
      case 0x8019: return twin(&P::imageOfDriveMode_ContinuousExtendedWithSize, size, c);
      default: return {};
    }
  }
  if (propertyCode == 0xD106) {
    switch (value) {
      case 0: return twin(&P::imageOfDriveMode_SingleWithSize, size, c);
      case 1: return twin(&P::imageOfDriveMode_ContinuousWithSize, size, c);
      case 4: return twin(&P::imageOfDriveMode_ContinuousHighSpeedWithSize, size, c);
      case 5: return twin(&P::imageOfDriveMode_ContinuousLowSpeedWithSize, size, c);
      case 7:
        return P::imageOfDriveMode_TimerSecondsWithSize(size, c.r, c.g, c.b, 0.25 * size.width(),
                                                        QStringLiteral("C"));
      case 0x10: return twin(&P::imageOfDriveMode_TimerWithSize, size, c);
      case 0x11: return twin(&P::imageOfDriveMode_Timer2SecWithSize, size, c);
      case 0x12: return twin(&P::imageOfDriveMode_ContinuousHighPlusWithSize, size, c);
      case 0x13: return twin(&P::imageOfDriveMode_SilentWithSize, size, c);
      case 0x14: return twin(&P::imageOfDriveMode_SilentContinuousWithSize, size, c);
      case 0x15: return twin(&P::imageOfDriveMode_SilentContinuousHighWithSize, size, c);
      case 0x16: return twin(&P::imageOfDriveMode_SilentContinuousLowWithSize, size, c);
      default: return {};
    }
  }
  return {};
}
