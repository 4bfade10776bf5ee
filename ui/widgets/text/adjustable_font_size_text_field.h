#pragma once
// A one-line label that, when asked, shrinks its font one point at a time until the text
// fits its width (never below a minimum, never growing back), centring the text once it
// shrinks. Its cell draws the text at the bottom of the title area, so the baseline stays
// put whatever the size. The thumbnail labels use it with middle truncation.
#include <QColor>
#include <QWidget>

#include "platform/graphics/font.h"
#include "platform/graphics/text.h"

class AdjustableFontSizeTextField : public QWidget {
  Q_OBJECT
 public:
  enum class LineBreakMode { Clipping, TruncatingMiddle };

  explicit AdjustableFontSizeTextField(QWidget* parent = nullptr);

  QString stringValue() const { return string_; }
  void setStringValue(const QString& s);
  Font font() const { return font_; }
  void setFont(const Font& f);
  QColor textColor() const { return color_; }
  void setTextColor(const QColor& c);
  TextAlignment alignment() const { return alignment_; }
  void setAlignment(TextAlignment a);
  LineBreakMode lineBreakMode() const { return lineBreakMode_; }
  void setLineBreakMode(LineBreakMode m);

  bool adjustsFontSize() const { return adjustsFontSize_; }
  void setAdjustsFontSize(bool a) { adjustsFontSize_ = a; }
  void setAdjustsFontSizeToFit(bool a);
  double minimumFontSize() const { return minimumFontSize_; }
  void setMinimumFontSize(double s);

  // The shrink step, then the layout.
  void layout();

  // The shrink rule on its own, for text drawn without a field (the strip's cells): `font`
  // one point smaller at a time while `text` is wider than `width`, never below the minimum.
  static Font fontShrunkToFit(const QString& text, Font font, qreal width, double minimumFontSize);
  // The middle truncation on its own: `text` as drawn in `width` with `font`.
  static QString truncatedMiddle(const QString& text, const Font& font, qreal width);

  // The string as drawn in `width` with the field's line-break mode.
  QString displayedString(qreal width) const;
  // Where the cell draws the text (y-down widget space): the bottom strip of the title area.
  QRectF textDrawingRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString string_;
  Font font_ = Font::systemFontOfSize(12);
  QColor color_ = Qt::white;
  TextAlignment alignment_ = TextAlignment::Natural;
  LineBreakMode lineBreakMode_ = LineBreakMode::Clipping;
  bool adjustsFontSize_ = false;
  double minimumFontSize_ = 1.0;
};
