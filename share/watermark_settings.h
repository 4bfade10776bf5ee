#pragma once
// The watermark settings record the device sends (control opcode 128) and how it lands in
// the user defaults.
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

class UserDefaults;

// u32 length (not read), u8 show, u8 location, u8 size, 128 bytes of NUL-terminated text.
constexpr size_t kWatermarkRecordBytes = 135;
constexpr size_t kWatermarkTextOffset = 7;
constexpr size_t kWatermarkTextBytes = 128;

struct WatermarkSettings {
  bool show = false;
  uint8_t location = 0;
  uint8_t size = 0;
  // Null when the text is not valid UTF-8 (the stored text is then left as it is).
  QString text;
};

// nullopt when the payload is shorter than the whole record.
std::optional<WatermarkSettings> watermarkSettingsFromBytes(std::span<const uint8_t> payload);

// Writes "ShowWatermark", "WatermarkLocation", "WatermarkSize" and, for a valid text,
// "WatermarkText" as "© <text>"; synchronises the store.
void watermarkSettingsStore(const WatermarkSettings& settings, UserDefaults& defaults);
