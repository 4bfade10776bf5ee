#pragma once
// The one-line strip of shooting data under the still image: shutter speed, aperture, ISO,
// exposure compensation, focal length and size as text, then the metering-mode and
// white-balance icons. Layout is y-up from the strip's bottom-left, as the icon kit's.
#include <QWidget>
#include <memory>

class Exif;
class QLabel;
class StyleKitImageView;

class ExifView : public QWidget {
  Q_OBJECT
 public:
  // initWithExif: a 200 x 24 strip showing exif (or nothing).
  explicit ExifView(std::shared_ptr<Exif> exif = nullptr, QWidget* parent = nullptr);

  // Keeps exif and rebuilds the strip on the GUI thread; from another thread the keeping
  // and the rebuild both hop there, so the strip never reads a half-set field.
  void setExif(std::shared_ptr<Exif> exif);
  std::shared_ptr<Exif> exif() const { return mExif; }

  // Rebuilds the strip from the kept Exif.
  void populateValues();

  // The strip's text: the display strings three blanks apart, those without a value left out.
  static QString stripText(const Exif& exif);
  // The metering and white-balance codes for an image's camera make: the PTP codes for
  // Nikon (15) and Sony (14), Canon's for any other make.
  static uint32_t meteringCodeForMake(uint8_t make);
  static uint32_t whiteBalanceCodeForMake(uint8_t make);

 private:
  // A y-up rectangle of the strip as a widget rectangle.
  QRect fromYUp(int x, int y, int width, int height) const;

  std::shared_ptr<Exif> mExif;
};
