#pragma once
// Composition grid over the live picture: n bands give n - 1 evenly spaced lines each way.
#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

class GridView : public QWidget {
  Q_OBJECT
 public:
  explicit GridView(QWidget* parent = nullptr);

  // The texts under which the grid choices and colours are offered.
  static QString stringForGridLines(unsigned choice);
  static QString stringForColor(unsigned code);
  // The line colour for a colour code.
  static QColor colorForCode(unsigned code);

  void setHorizontalLines(int horizontal, int vertical);
  // Lines stay undrawn until a colour is set.
  void setGridColor(unsigned code);

  int horizontalLines() const { return mNumHorizontalLines; }
  int verticalLines() const { return mNumVerticalLines; }
  QColor gridColor() const { return mColor; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int mNumHorizontalLines = 0;
  int mNumVerticalLines = 0;
  QColor mColor;  // invalid until the first setGridColor
};

// A horizontal audio level meter: lit bins green, then yellow, then red from the left; the
// peak bin stays lit.
class SoundBarView : public QWidget {
  Q_OBJECT
 public:
  explicit SoundBarView(QWidget* parent = nullptr);

  void setNumberOfBins(uint64_t n);
  void setMaxBin(uint64_t bin);
  void setCurrentBin(uint64_t bin);

  // A bin's colour for the current state (dark grey when unlit).
  QColor colorForBin(uint64_t bin) const;

  // One filled bar: its left edge and width in points and the bin whose colour it takes.
  struct Bar {
    qreal x;
    qreal width;
    uint64_t bin;
  };
  // The bars a paint fills across `width` points at `pixelsPerPoint`: one per bin while the
  // bins fit the device pixels, else one per pixel column, coloured by the highest lit bin
  // under it (so the peak stays visible) or, with none lit, as unlit. Never more bars than
  // the bins or the pixel columns, whichever are fewer.
  std::vector<Bar> bars(qreal width, qreal pixelsPerPoint) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  uint64_t mNumBins = 0;
  uint64_t mCurrentBin = 0;
  uint64_t mMaxBin = 0;
};
