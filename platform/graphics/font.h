#pragma once
// Fonts of the icon kits and widgets. Every named font maps to one of two embedded faces,
// loaded from their own bytes so that no system font can take their place:
//   ArialMT, AvenirNext-Regular, AvenirNext-Medium, other names -> Liberation Sans Regular
//   Arial-BoldMT, AvenirNext-DemiBold, bold and semibold system fonts -> Liberation Sans Bold
// (Liberation Sans has Arial's metrics; the Avenir Next faces have no free twin.)
#include <QRawFont>
#include <QString>

enum class FontFace { Regular, Bold };

class Font {
 public:
  Font() = default;
  Font(FontFace face, qreal pointSize) : face_(face), pointSize_(pointSize) {}

  // The face for a PostScript name, at a fractional size in points.
  static Font fontWithName(const QString& postScriptName, qreal size);
  static Font systemFontOfSize(qreal size) { return {FontFace::Regular, size}; }
  static Font boldSystemFontOfSize(qreal size) { return {FontFace::Bold, size}; }
  static FontFace faceForName(const QString& postScriptName);

  FontFace face() const { return face_; }
  qreal pointSize() const { return pointSize_; }

  // Metrics of the face at this size, in points, from its horizontal header.
  qreal ascender() const;
  qreal descender() const;  // positive: the distance below the baseline
  qreal leading() const;    // the face's line gap
  qreal lineHeight() const { return ascender() + descender() + leading(); }

  // The face at one pixel per design unit, for exact advances and outlines; scale its
  // values by designScale(). One per thread and face.
  QRawFont rawFont() const;
  qreal designScale() const;

 private:
  FontFace face_ = FontFace::Regular;
  qreal pointSize_ = 12;
};

// Loads the embedded faces' resources; safe to call more than once.
void initGraphicsResources();
