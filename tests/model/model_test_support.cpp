#include "model_test_support.h"

#include <gtest/gtest.h>

#include <QDir>

#include "platform/graphics/stylekit_image_view.h"
#include "platform/modal.h"
#include "ui/widgets/alert/alert_icons.h"
#include "ui/widgets/alert/kl_alert.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

namespace modeltest {

SeenAlert readAlert(QWidget* window) {
  SeenAlert s;
  for (QLabel* label : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->maximumSize() == QSize(24, 24)) continue;  // the application icon
    if (label->font().bold())
      s.title = label->text();
    else
      s.information = label->text();
  }
  for (SYFlatButton* b : window->findChildren<SYFlatButton*>())
    if (b->title() == QLatin1String("?")) s.helpButtonShown = b->isVisible();
  if (auto* icon = window->findChild<StyleKitImageView*>()) s.icon = icon->image().render();
  s.modal = Modal::modalWindow() == window;
  return s;
}

QImage styleIcon(unsigned style) { return alertIconNamed(KL_Alert::iconNameForStyle(style)).render(); }

AlertAnswerer::AlertAnswerer() {
  timer_.setInterval(2);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    const std::vector<QWidget*> alerts = visibleAlerts();
    if (alerts.empty()) return;
    QWidget* window = alerts.front();
    seen_.push_back(readAlert(window));
    if (clickButton(window, QStringLiteral("OK"))) return;
    ADD_FAILURE() << "alert without an OK button";
    window->hide();
  });
  timer_.start();
}

AlertAnswerer::~AlertAnswerer() { timer_.stop(); }

void Latch::open() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
  }
  cv_.notify_all();
}

void Latch::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++waiting_;
  cv_.wait(lock, [this] { return open_; });
  --waiting_;
}

bool Latch::waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_ > 0;
}

void snapshot(QWidget* widget, const QString& name) {
  const QString dir = qEnvironmentVariable("KV_SNAPSHOT_DIR");
  if (dir.isEmpty() || widget == nullptr) return;
  QDir().mkpath(dir);
  widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace modeltest
