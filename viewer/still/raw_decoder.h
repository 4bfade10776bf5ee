#pragma once
// Raw decoding through LibRaw (the thread-safe build), one decode at a time in the
// process. The pixels come out as stored (no flip): the caller turns them.
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <cstdint>
#include <span>

struct RawDecodeOutcome {
  QImage image;                 // Format_RGB32, as stored; null on failure or cancel
  QSize fullSize;               // the full output size, as stored
  bool reduced = false;         // a half-size decode
  bool opened = false;          // LibRaw read the file's properties
  uint8_t fileOrientation = 0;  // the file's own orientation (1..8), 0 when unknown
  bool cancelled = false;
  QString error;
};

// halfSize: LibRaw's half-size decode (no demosaicing, a quarter of the pixels). A sensor
// larger than maxRawPixels is refused before unpacking.
RawDecodeOutcome decodeRaw(std::span<const uint8_t> data, bool halfSize, qint64 maxRawPixels,
                           const std::atomic<bool>& cancel);
