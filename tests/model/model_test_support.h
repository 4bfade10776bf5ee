#pragma once
// Helpers of the model tests: reading and answering the alerts the utilities show, a latch
// for steps that must wait, and optional snapshots for a human to look at.
#include <QImage>
#include <QLabel>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "support/alert_support.h"

namespace modeltest {

// What an alert window showed.
struct SeenAlert {
  QString title;
  QString information;
  bool helpButtonShown = false;
  bool modal = false;
  QImage icon;
};

SeenAlert readAlert(QWidget* window);

// The icon an alert of this style shows.
QImage styleIcon(unsigned style);

// Answers every alert that comes up with OK (from the event loop, also inside modal
// sessions), remembering what each showed.
class AlertAnswerer {
 public:
  AlertAnswerer();
  ~AlertAnswerer();
  const std::vector<SeenAlert>& seen() const { return seen_; }

 private:
  QTimer timer_;
  std::vector<SeenAlert> seen_;
};

using kvtest::clickButton;
using kvtest::visibleAlerts;

// A gate a worker waits at until the test opens it (or the latch goes away).
class Latch {
 public:
  void open();
  void wait();
  bool waiting() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool open_ = false;
  int waiting_ = 0;
};

// Writes the widget to $KV_SNAPSHOT_DIR/<name>.png when that variable is set.
void snapshot(QWidget* widget, const QString& name);

}  // namespace modeltest
