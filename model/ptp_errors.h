#pragma once
// The text shown to the user for a response code of the camera library: a key of the
// string table, a fixed English text for a few codes, or the code in hexadecimal.
#include <QString>

#include <cstdint>

class PtpErrors {
 public:
  // Standard PTP codes and the library's fixed codes whatever the camera; vendor codes by
  // the current camera vendor; anything else as "0x%X".
  static QString stringForResponseCode(uint16_t code);
  // "<text> <code's text>".
  static QString appendString(const QString& text, uint16_t withResponseCode);
};
