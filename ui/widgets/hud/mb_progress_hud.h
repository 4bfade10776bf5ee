#pragma once
// The busy and progress overlay: covers its superview and draws in its middle a rounded
// translucent panel with an indicator (by mode), a label, a details label and optionally
// one button. Fades in and out in 0.3 s (optionally zooming), can wait a grace time before
// it appears and stay up a minimum time once shown, can run a task while shown, and
// reports its hiding to a delegate and a completion block. Drawing is y-up.
//
// Property setters may be called from any thread: the view update (and, for everything
// but the progress, the value itself) reaches the GUI thread queued with the HUD as the
// call's context. A worker that may outlive the HUD posts through guiTarget().
// A HUD removed from its superview on hide is deleted later: hold it in a QPointer.
// A task never holds the HUD up: the task owns what it runs, its end reaches the HUD only
// while the HUD exists, and deleting the HUD does not wait for it.
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "platform/dispatch_queue.h"
#include "platform/graphics/font.h"
#include "platform/gui_target.h"
#include "platform/weak_delegate.h"
#include "ui/widgets/hud/hud_layout.h"

class MBProgressHUD;
class SYFlatButton;
class TextView;

class MBProgressHUDDelegate {
 public:
  virtual ~MBProgressHUDDelegate() = default;
  virtual void hudWasHidden(MBProgressHUD*) {}
  virtual void hudWasHiddenAfterDelay(MBProgressHUD*) {}
  virtual void hudWasTapped(MBProgressHUD*) {}
};

enum HudMode { HudModeSpinner = 0, HudModePie, HudModeBar, HudModeAnnular, HudModeCustomView, HudModeText };
enum HudAnimation { HudAnimationFade = 0, HudAnimationZoomFromLarge, HudAnimationZoomFromSmall };

class MBProgressHUD : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFadeMs = 300;

  // Class helpers.
  static MBProgressHUD* showHUDAddedTo(QWidget* view, bool animated);
  static MBProgressHUD* HUDForView(QWidget* view);
  static QList<MBProgressHUD*> allHUDsForView(QWidget* view);
  static bool hideHUDForView(QWidget* view, bool animated);
  static int hideAllHUDsForView(QWidget* view, bool animated);

  // Seconds on a monotonic clock; tests replace it (an empty function restores the real one).
  static void setClock(std::function<double()> clock);
  static double now();

  // initWithView: (the HUD becomes a child of nobody until added; see showHUDAddedTo).
  explicit MBProgressHUD(QWidget* view);
  ~MBProgressHUD() override;

  void setupButton(const QString& title, std::function<void()> clickBlock);

  void show(bool animated);
  void hide(bool animated);
  void hideAfterDelay(bool animated, double delay);
  void hideDelayed(bool animated);
  void handleGraceTimer();
  void handleMinShowTimer();
  void showWhileExecuting(std::function<void()> method, bool animated);
  void showAnimated(bool animated, std::function<void()> block, DispatchQueue* queue = nullptr,
                    std::function<void()> completionBlock = nullptr);
  void cleanUp();
  void done();
  // Ends a running fade at its end (tests).
  void finishAnimations();

  void updateIndicators();
  void layoutSubviews();

  // Properties.
  int mode() const { return mode_; }
  void setMode(int mode);
  QWidget* customView() const { return customView_; }
  void setCustomView(QWidget* view);
  QString labelText() const { return labelText_; }
  void setLabelText(const QString& text);
  QString detailsLabelText() const { return detailsLabelText_; }
  void setDetailsLabelText(const QString& text);
  void setLabelFont(const Font& f);
  void setDetailsLabelFont(const Font& f);
  void setLabelColor(const QColor& c);
  void setDetailsLabelColor(const QColor& c);
  float progress() const { return progress_.load(); }
  void setProgress(float progress);

  bool isSquare() const { return square_; }
  void setSquare(bool s) { square_ = s; layoutSubviews(); }
  bool dimBackground() const { return dimBackground_; }
  void setDimBackground(bool d) { dimBackground_ = d; update(); }
  bool dismissible() const { return dismissible_; }
  void setDismissible(bool d) { dismissible_ = d; }
  bool taskInProgress() const { return taskInProgress_; }
  void setTaskInProgress(bool t) { taskInProgress_ = t; }
  bool removeFromSuperViewOnHide() const { return removeFromSuperViewOnHide_; }
  void setRemoveFromSuperViewOnHide(bool r) { removeFromSuperViewOnHide_ = r; }
  int animationType() const { return animationType_; }
  void setAnimationType(int t) { animationType_ = t; }
  float opacity() const { return opacity_; }
  void setOpacity(float o) { opacity_ = o; update(); }
  float xOffset() const { return xOffset_; }
  void setXOffset(float x) { xOffset_ = x; layoutSubviews(); }
  float yOffset() const { return yOffset_; }
  void setYOffset(float y) { yOffset_ = y; layoutSubviews(); }
  float spinsize() const { return spinsize_; }
  void setSpinsize(float s) { spinsize_ = s; }
  float margin() const { return margin_; }
  void setMargin(float m) { margin_ = m; layoutSubviews(); }
  float graceTime() const { return graceTime_; }
  void setGraceTime(float t) { graceTime_ = t; }
  float minShowTime() const { return minShowTime_; }
  void setMinShowTime(float t) { minShowTime_ = t; }
  float cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(float r) { cornerRadius_ = r; update(); }
  QColor color() const { return color_; }
  void setColor(const QColor& c) { color_ = c; update(); }
  QSizeF minSize() const { return minSize_; }
  void setMinSize(QSizeF s) { minSize_ = s; layoutSubviews(); }
  QSizeF size() const { return size_; }
  void setDelegate(const std::shared_ptr<MBProgressHUDDelegate>& d) { delegate_.set(d); }
  void setCompletionBlock(std::function<void()> block) { completionBlock_ = std::move(block); }

  // State, for tests and callers.
  qreal alphaValue() const { return alpha_; }
  bool isFinished() const { return isFinished_; }
  std::optional<double> showStarted() const { return showStarted_; }
  QWidget* indicator() const { return indicator_; }
  TextView* label() const { return label_; }
  TextView* detailsLabel() const { return detailsLabel_; }
  SYFlatButton* button() const { return button_; }
  const QTimer& graceTimer() const { return graceTimer_; }
  const QTimer& minShowTimer() const { return minShowTimer_; }
  bool isAnimating() const { return fade_.state() == QAbstractAnimation::Running; }
  qreal currentScale() const { return scale_; }
  std::shared_ptr<GuiTarget> guiTarget() const { return target_; }
  // The panel in y-up view coordinates.
  QRectF panelRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void showUsingAnimation(bool animated);
  void hideUsingAnimation(bool animated);
  void setAlpha(qreal a);
  void setScale(qreal s);
  void cancelDelayedPerforms() { delayTimer_.stop(); }
  void updateLabelsAndLayout();

  std::shared_ptr<GuiTarget> target_;
  bool useAnimation_ = false;
  std::function<void()> methodForExecution_;
  TextView* label_ = nullptr;
  TextView* detailsLabel_ = nullptr;
  SYFlatButton* button_ = nullptr;
  bool mHasButton = false;
  bool isFinished_ = false;
  bool square_ = false;
  bool dimBackground_ = false;
  bool dismissible_ = false;
  bool taskInProgress_ = false;
  bool removeFromSuperViewOnHide_ = false;
  int animationType_ = HudAnimationFade;
  float opacity_ = 0.8f;
  float xOffset_ = 0, yOffset_ = 0;
  float spinsize_ = 60;
  float margin_ = 20;
  float graceTime_ = 0;
  float minShowTime_ = 0;
  int mode_ = HudModeSpinner;
  std::atomic<float> progress_{0};
  float cornerRadius_ = 10;
  WeakDelegate<MBProgressHUDDelegate> delegate_;
  QColor color_;
  Font labelFont_ = Font::boldSystemFontOfSize(16);
  Font detailsLabelFont_ = Font::boldSystemFontOfSize(12);
  QColor labelColor_ = Qt::white, detailsLabelColor_ = Qt::white;
  QPointer<QWidget> indicator_;
  QTimer graceTimer_, minShowTimer_, delayTimer_;
  bool delayedAnimated_ = false;
  QPointer<QWidget> customView_;
  std::optional<double> showStarted_;
  QString labelText_, detailsLabelText_;
  std::function<void()> completionBlock_;
  QSizeF minSize_{0, 0};
  QSizeF size_{0, 0};
  HudLayout layout_;

  qreal alpha_ = 0;
  qreal scale_ = 1;
  QVariantAnimation fade_;
  bool fadeHides_ = false;
};
