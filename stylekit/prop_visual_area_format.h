#pragma once
// Sony focus-area, image-format and Nikon movie-AF-area visuals.
#include <QSizeF>
#include <cstdint>

#include "stylekit/prop_visual_result.h"

class KorvalumeAreaFormatVisuals {
 public:
  // The value alone picks the icon (highlighted or white); an unlisted value gives an
  // empty text, not nothing.
  static PropertyVisual imageOfFocusArea_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                  bool isHighlighted);
  // A quality text for Fujifilm (0xD018), Sony or Nikon (0x5004, 0xD253); a button for Canon
  // (0xD120); "--" for 0xFFFFFFFF whatever the code.
  static PropertyVisual imageOfImageFormat_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                    bool isHighlighted);
  // Code 0xD1F8 only; highlighted wins over disabled.
  static PropertyVisual imageOfMovieAfAreaMode_WithSize(QSizeF size, uint32_t propertyCode, uint32_t value,
                                                        bool isDisabled, bool isHighlighted);

 protected:
  KorvalumeAreaFormatVisuals() = default;
};
