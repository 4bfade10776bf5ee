#pragma once
// The flat push button: a rounded, coloured plate with an optional border, an image shown
// as a silhouette in a tint colour and a title. Each colour has a normal and a highlight
// value; state 1 shows the highlight set. Presses are tracked by the button itself:
// momentary (the other colour set while pressed) or toggle (flips at each press).
// Geometry is y-up inside the button (origin bottom-left), as the layout tables give it.
#include <QColor>
#include <QImage>
#include <QString>
#include <QVariantAnimation>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "platform/graphics/font.h"
#include "platform/weak_delegate.h"

class SYFlatButton;

// Both methods optional.
class SYFlatButtonDelegate {
 public:
  virtual ~SYFlatButtonDelegate() = default;
  virtual void buttonDown(SYFlatButton*) {}
  virtual void buttonUp(SYFlatButton*) {}
};

// The platform's image positions.
enum ImagePosition {
  NoImage = 0,
  ImageOnly = 1,
  ImageLeft = 2,
  ImageRight = 3,
  ImageBelow = 4,
  ImageAbove = 5,
  ImageOverlaps = 6,
  ImageLeading = 7,
  ImageTrailing = 8,
};

class SYFlatButton : public QWidget {
  Q_OBJECT
 public:
  // The animated colour properties: the plate's border and fill, the image tint, the title.
  enum ColorKey { BorderColor = 0, BackgroundColor, ImageColor, TitleColor };
  // A shrinking title stops at this size (the layout gives no lower bound).
  static constexpr qreal kMinimumTitleFontSize = 4.0;

  explicit SYFlatButton(QWidget* parent = nullptr);
  ~SYFlatButton() override;

  // The interface-file path: installs the tracking of enter and exit while pressed.
  void awakeFromNib();
  bool hasTrackingArea() const { return trackingArea_; }

  void setup();
  void setupImageLayer();
  void setupTitleLayer();
  static QSizeF frameSizeForString(const QString& string, const Font& font);

  void removeAllAnimations();
  void animateColorWithState(int state);
  void animateLayer(ColorKey key, const QColor& color, qreal duration);

  // This button when it takes clicks at `point`, else nullptr.
  QWidget* hitTest(QPointF point);

  // Tracking (also reached from the mouse events).
  void mouseDown();
  void mouseEntered();
  void mouseExited();
  void mouseUp();

  void setEnabled(bool enabled);
  qreal alphaValue() const { return alphaValue_; }
  void setFrame(const QRectF& frame);
  void setFont(const Font& font);
  Font font() const { return font_; }
  void setTitle(const QString& title);
  QString title() const { return title_; }
  void setImage(const QImage& image);
  QImage image() const { return image_; }
  void setImagePosition(int position);
  int imagePosition() const { return imagePosition_; }
  void setState(int state);
  int state() const { return state_; }

  bool momentary() const { return momentary_; }
  void setMomentary(bool momentary);
  bool mouseDownInProgress() const { return mouseDown_; }
  void setMouseDown(bool down) { mouseDown_ = down; }
  qreal onAnimateDuration() const { return onAnimateDuration_; }
  void setOnAnimateDuration(qreal seconds) { onAnimateDuration_ = seconds; }
  qreal offAnimateDuration() const { return offAnimateDuration_; }
  void setOffAnimateDuration(qreal seconds) { offAnimateDuration_ = seconds; }
  qreal cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(qreal r);
  qreal borderWidth() const { return borderWidth_; }
  void setBorderWidth(qreal w);
  qreal spacing() const { return spacing_; }
  void setSpacing(qreal s);

  QColor borderNormalColor() const { return colors_[0]; }
  QColor borderHighlightColor() const { return colors_[1]; }
  QColor backgroundNormalColor() const { return colors_[2]; }
  QColor backgroundHighlightColor() const { return colors_[3]; }
  QColor imageNormalColor() const { return colors_[4]; }
  QColor imageHighlightColor() const { return colors_[5]; }
  QColor titleNormalColor() const { return colors_[6]; }
  QColor titleHighlightColor() const { return colors_[7]; }
  void setBorderNormalColor(const QColor& c) { setColor(0, c); }
  void setBorderHighlightColor(const QColor& c) { setColor(1, c); }
  void setBackgroundNormalColor(const QColor& c) { setColor(2, c); }
  void setBackgroundHighlightColor(const QColor& c) { setColor(3, c); }
  void setImageNormalColor(const QColor& c) { setColor(4, c); }
  void setImageHighlightColor(const QColor& c) { setColor(5, c); }
  void setTitleNormalColor(const QColor& c) { setColor(6, c); }
  void setTitleHighlightColor(const QColor& c) { setColor(7, c); }

  void setDelegate(const std::shared_ptr<SYFlatButtonDelegate>& d) { delegate_.set(d); }
  void setMouseDownBlock(std::function<void()> block) { mouseDownBlock_ = std::move(block); }

  // What the layers hold. The stored value of a colour is the last target; the shown value
  // follows a running animation.
  QColor storedColor(ColorKey key) const { return stored_[key]; }
  QColor presentedColor(ColorKey key) const;
  int runningAnimationCount() const;
  // Ends every running colour animation at its target.
  void finishAnimations();
  bool hasImageLayer() const { return imageLayerShown_; }
  QRectF imageMaskFrame() const { return imageMaskFrame_; }  // y-up
  bool hasTitleLayer() const { return titleLayerShown_; }
  QRectF titleFrame() const { return titleFrame_; }  // y-up

  QSize sizeHint() const override;

 signals:
  // The button's action, sent at the end of an accepted press.
  void action(SYFlatButton* sender);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void setColor(int index, const QColor& c);
  void toggle();
  QSizeF imageSize() const;

  bool momentary_ = false;
  bool mouseDown_ = false;
  WeakDelegate<SYFlatButtonDelegate> delegate_;
  qreal onAnimateDuration_ = 0;
  qreal offAnimateDuration_ = 0;
  qreal cornerRadius_ = 0;
  qreal borderWidth_ = 0;
  qreal spacing_ = 0;
  // border, background, image, title; normal then highlight.
  std::array<QColor, 8> colors_;
  std::function<void()> mouseDownBlock_;

  bool trackingArea_ = false;
  bool pointerInside_ = false;
  int state_ = 0;
  qreal alphaValue_ = 1.0;
  Font font_ = Font::systemFontOfSize(13);
  QString title_;
  QImage image_;
  int imagePosition_ = NoImage;

  std::array<QColor, 4> stored_;
  std::array<std::unique_ptr<QVariantAnimation>, 4> animations_;
  bool imageLayerShown_ = false;
  QRectF imageMaskFrame_;
  bool titleLayerShown_ = false;
  QRectF titleFrame_;
  QPointF lastTitleOrigin_;
};
