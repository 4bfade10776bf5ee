#include "ui/widgets/flat_button/sy_flat_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/image_mask.h"
#include "platform/graphics/text.h"
#include "platform/gui_thread.h"

namespace {

QColor orTransparent(const QColor& c) { return c.isValid() ? c : QColor(0, 0, 0, 0); }

}  // namespace

SYFlatButton::SYFlatButton(QWidget* parent) : QWidget(parent) {
  KV_ASSERT_GUI_THREAD();
  initGraphicsResources();
  // The layers' own starting values: opaque black border, white text, no image tint.
  stored_[BorderColor] = QColor(Qt::black);
  stored_[ImageColor] = QColor();
  stored_[TitleColor] = QColor(Qt::white);
  setup();
  setupImageLayer();
  setupTitleLayer();
}

SYFlatButton::~SYFlatButton() = default;

void SYFlatButton::awakeFromNib() {
  KV_ASSERT_GUI_THREAD();
  trackingArea_ = true;
}

void SYFlatButton::setup() {
  stored_[BackgroundColor] = QColor(Qt::red);
  alphaValue_ = isEnabled() ? 1.0 : 0.5;
  update();
}

QSizeF SYFlatButton::imageSize() const {
  return image_.isNull() ? QSizeF(0, 0) : image_.deviceIndependentSize();
}

void SYFlatButton::setupImageLayer() {
  KV_ASSERT_GUI_THREAD();
  if (image_.isNull() || imagePosition_ == NoImage) {
    imageLayerShown_ = false;
    update();
    return;
  }
  const qreal W = width(), H = height();
  const QSizeF is = imageSize();
  const qreal iw = is.width(), ih = is.height();
  const QSizeF ts = sizeWithAttributes(title_, TextAttributes{font_});
  const qreal tw = ts.width(), th = ts.height(), sp = spacing_;
  qreal x = 0, y = 0;
  switch (imagePosition_) {
    case ImageOnly:
    case ImageOverlaps: x = (W - iw) / 2; y = (H - ih) / 2; break;
    case ImageLeft:
    case ImageLeading: x = (W - iw - tw) / 2 - sp; y = (H - ih) / 2; break;
    case ImageRight:
    case ImageTrailing: x = (W - iw + tw) / 2 + sp; y = (H - ih) / 2; break;
    case ImageBelow: x = (W - iw) / 2; y = (H - ih + th) / 2 + sp; break;
    case ImageAbove: x = (W - iw) / 2; y = (H - ih - th) / 2 - sp; break;
    default: break;
  }
  imageMaskFrame_ = QRectF(std::round(x), std::round(y), iw, ih);
  imageLayerShown_ = true;
  update();
}

void SYFlatButton::setupTitleLayer() {
  KV_ASSERT_GUI_THREAD();
  if (title_.isEmpty() || imagePosition_ == ImageOnly) {
    titleLayerShown_ = false;
    update();
    return;
  }
  const qreal W = width(), H = height();
  const QSizeF is = imageSize();
  const qreal iw = is.width(), ih = is.height(), sp = spacing_;
  for (;;) {
    const QSizeF ts = frameSizeForString(title_, font_);
    const qreal tw = ts.width(), th = ts.height();
    QPointF o = lastTitleOrigin_;
    switch (imagePosition_) {
      case NoImage:
      case ImageOverlaps: o = {(W - tw) / 2, (H - th) / 2}; break;
      case ImageLeft:
      case ImageLeading: o = {(W + iw - tw) / 2 + sp, (H - th) / 2}; break;
      case ImageRight:
      case ImageTrailing: o = {(W - iw - tw) / 2 - sp, (H - th) / 2}; break;
      case ImageBelow: o = {(W - tw) / 2, (H - ih - th) / 2 - sp}; break;
      case ImageAbove: o = {(W - tw) / 2, (H + ih - th) / 2 + sp}; break;
      default: break;
    }
    lastTitleOrigin_ = o;
    if (o.x() < 2.0 && font_.pointSize() - 1.0 >= kMinimumTitleFontSize) {
      font_ = Font(font_.face(), font_.pointSize() - 1.0);
      continue;
    }
    titleFrame_ = QRectF(std::round(o.x()), std::round(o.y()), std::ceil(tw), std::ceil(th));
    titleLayerShown_ = true;
    update();
    return;
  }
}

QSizeF SYFlatButton::frameSizeForString(const QString& string, const Font& font) {
  const QRawFont raw = font.rawFont();
  if (!raw.isValid()) return {0, 0};
  const QList<quint32> glyphs = raw.glyphIndexesForString(string);
  if (glyphs.size() != string.size()) return {0, 0};
  for (quint32 g : glyphs)
    if (g == 0) return {0, 0};
  qreal width = 0;
  for (const QPointF& a : raw.advancesForGlyphIndexes(glyphs)) width += a.x();
  return {width * font.designScale(), font.ascender() + font.descender()};
}

void SYFlatButton::removeAllAnimations() {
  for (auto& a : animations_)
    if (a) a->stop();
}

void SYFlatButton::animateColorWithState(int state) {
  removeAllAnimations();
  const bool on = state == 1;
  const qreal duration = on ? onAnimateDuration_ : offAnimateDuration_;
  const int h = on ? 1 : 0;
  animateLayer(BorderColor, colors_[0 + h], duration);
  animateLayer(BackgroundColor, colors_[2 + h], duration);
  animateLayer(ImageColor, colors_[4 + h], duration);
  animateLayer(TitleColor, colors_[6 + h], duration);
}

void SYFlatButton::animateLayer(ColorKey key, const QColor& color, qreal duration) {
  if (stored_[key] == color) return;
  auto& anim = animations_[key];
  if (!anim) {
    anim = std::make_unique<QVariantAnimation>();
    QObject::connect(anim.get(), &QVariantAnimation::valueChanged, this, [this] { update(); });
  }
  anim->stop();
  if (duration > 0 && std::isfinite(duration)) {
    anim->setStartValue(orTransparent(stored_[key]));
    anim->setEndValue(orTransparent(color));
    anim->setDuration(static_cast<int>(std::min(duration, 3600.0) * 1000));
    anim->start();
  }
  stored_[key] = color;
  update();
}

QColor SYFlatButton::presentedColor(ColorKey key) const {
  const auto& anim = animations_[key];
  if (anim && anim->state() == QAbstractAnimation::Running) return anim->currentValue().value<QColor>();
  return stored_[key];
}

int SYFlatButton::runningAnimationCount() const {
  int n = 0;
  for (const auto& a : animations_)
    if (a && a->state() == QAbstractAnimation::Running) ++n;
  return n;
}

void SYFlatButton::finishAnimations() {
  KV_ASSERT_GUI_THREAD();
  removeAllAnimations();
  update();
}

QWidget* SYFlatButton::hitTest(QPointF point) {
  if (!isEnabled()) return nullptr;
  return rect().contains(point.toPoint()) ? this : nullptr;
}

void SYFlatButton::toggle() { setState(state_ == 1 ? 0 : 1); }

void SYFlatButton::mouseDown() {
  KV_ASSERT_GUI_THREAD();
  if (!isEnabled()) return;
  mouseDown_ = true;
  pointerInside_ = true;
  toggle();
  delegate_.send([this](SYFlatButtonDelegate& d) { d.buttonDown(this); });
  if (mouseDownBlock_) {
    auto block = mouseDownBlock_;  // the block may replace itself
    block();
  }
}

void SYFlatButton::mouseEntered() {
  KV_ASSERT_GUI_THREAD();
  if (mouseDown_) toggle();
}

void SYFlatButton::mouseExited() {
  KV_ASSERT_GUI_THREAD();
  if (!mouseDown_) return;
  mouseDown_ = false;
  toggle();
  delegate_.send([this](SYFlatButtonDelegate& d) { d.buttonUp(this); });
}

void SYFlatButton::mouseUp() {
  KV_ASSERT_GUI_THREAD();
  if (!mouseDown_) return;
  mouseDown_ = false;
  if (momentary_) toggle();
  emit action(this);
  delegate_.send([this](SYFlatButtonDelegate& d) { d.buttonUp(this); });
}

void SYFlatButton::setEnabled(bool enabled) {
  KV_ASSERT_GUI_THREAD();
  QWidget::setEnabled(enabled);
  alphaValue_ = isEnabled() ? 1.0 : 0.5;
  update();
}

void SYFlatButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    alphaValue_ = isEnabled() ? 1.0 : 0.5;
    update();
  }
  QWidget::changeEvent(event);
}

void SYFlatButton::setFrame(const QRectF& frame) {
  KV_ASSERT_GUI_THREAD();
  setGeometry(frame.toRect());
  setupTitleLayer();
}

void SYFlatButton::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  setupTitleLayer();
}

void SYFlatButton::setFont(const Font& font) {
  KV_ASSERT_GUI_THREAD();
  font_ = font;
  setupTitleLayer();
}

void SYFlatButton::setTitle(const QString& title) {
  KV_ASSERT_GUI_THREAD();
  title_ = title;
  updateGeometry();
  setupTitleLayer();
}

void SYFlatButton::setImage(const QImage& image) {
  KV_ASSERT_GUI_THREAD();
  image_ = image;
  setupImageLayer();
}

void SYFlatButton::setImagePosition(int position) {
  KV_ASSERT_GUI_THREAD();
  imagePosition_ = position;
  setupImageLayer();
  setupTitleLayer();
}

void SYFlatButton::setState(int state) {
  KV_ASSERT_GUI_THREAD();
  state_ = state;
  animateColorWithState(state);
}

void SYFlatButton::setMomentary(bool momentary) {
  KV_ASSERT_GUI_THREAD();
  momentary_ = momentary;
  animateColorWithState(state_);
}

void SYFlatButton::setCornerRadius(qreal r) {
  KV_ASSERT_GUI_THREAD();
  cornerRadius_ = r;
  update();
}

void SYFlatButton::setBorderWidth(qreal w) {
  KV_ASSERT_GUI_THREAD();
  borderWidth_ = w;
  update();
}

void SYFlatButton::setSpacing(qreal s) {
  KV_ASSERT_GUI_THREAD();
  spacing_ = s;
  setupImageLayer();
  setupTitleLayer();
}

void SYFlatButton::setColor(int index, const QColor& c) {
  KV_ASSERT_GUI_THREAD();
  colors_[index] = c;
  animateColorWithState(state_);
}

QSize SYFlatButton::sizeHint() const {
  const QSizeF t = frameSizeForString(title_, font_);
  return QSize(static_cast<int>(std::ceil(t.width())) + 24, 28);
}

void SYFlatButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setOpacity(alphaValue_);
  const QRectF bounds(0, 0, width(), height());
  const qreal r = std::min({cornerRadius_, bounds.width() / 2, bounds.height() / 2});
  // The layer masks to its rounded bounds. The clip is the painter's: a context clip that is
  // not pixel-aligned goes through an offscreen layer sized to this widget's own device,
  // which misses when the widget is painted as a child of another.
  QPainterPath plate;
  plate.addRoundedRect(bounds, r, r);
  p.setClipPath(plate);
  GraphicsContext ctx(p, height());
  ctx.setFillColor(orTransparent(presentedColor(BackgroundColor)));
  ctx.fill(BezierPath::bezierPathWithRoundedRect(bounds, r, r));
  if (imageLayerShown_) drawImageMask(ctx, image_, imageMaskFrame_, orTransparent(presentedColor(ImageColor)));
  if (titleLayerShown_) {
    TextAttributes attrs{font_, orTransparent(presentedColor(TitleColor)), TextAlignment::Left};
    drawInRect(ctx, title_, titleFrame_, attrs);
  }
  if (borderWidth_ > 0) {
    // The border lies inside the bounds, over the content.
    const qreal half = borderWidth_ / 2;
    const QRectF inner = bounds.adjusted(half, half, -half, -half);
    const qreal ir = std::max<qreal>(0, r - half);
    BezierPath border = BezierPath::bezierPathWithRoundedRect(inner, ir, ir);
    border.setLineWidth(borderWidth_);
    ctx.setStrokeColor(orTransparent(presentedColor(BorderColor)));
    ctx.stroke(border);
  }
}

void SYFlatButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (hitTest(event->position()) == nullptr) return;
  mouseDown();
}

void SYFlatButton::mouseMoveEvent(QMouseEvent* event) {
  if (!trackingArea_ || !mouseDown_) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (!inside && pointerInside_) {
    pointerInside_ = false;
    mouseExited();
  }
}

void SYFlatButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  mouseUp();
}

void SYFlatButton::leaveEvent(QEvent* event) {
  if (trackingArea_) mouseExited();
  QWidget::leaveEvent(event);
}
