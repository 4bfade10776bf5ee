#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>

#include <atomic>
#include <set>
#include <thread>

#include "model/utilities.h"
#include "model_test_support.h"
#include "platform/gui_thread.h"
#include "platform/modal.h"
#include "ptp/base/camera_vendor.h"
#include "support/qt_test_support.h"
#include "ui/widgets/alert/kl_alert.h"

using modeltest::AlertAnswerer;
using modeltest::SeenAlert;

namespace {

// Counts widget calls made off the GUI thread instead of stopping the process.
class ViolationCounter {
 public:
  ViolationCounter() {
    previous_ = GuiThread::setViolationHandler([this](const char*) { ++count; });
  }
  ~ViolationCounter() { GuiThread::setViolationHandler(previous_); }
  std::atomic<int> count{0};

 private:
  GuiThread::ViolationHandler previous_;
};

}  // namespace

TEST(UtilitiesMessages, EachMessageShowsItsStyleTitleAndTexts) {
  const uint16_t savedVendor = camGetVendor();
  camSetVendor(CameraVendorUnknown);
  struct Case {
    const char* name;
    std::function<void()> call;
    AlertStyle style;
    QString title, information;
    bool help;
  };
  const Case cases[] = {
      {"info", [] { Utilities::showInfoMessage("Saved 3 images.", "Done", true); }, AlertStyleNote, "Done",
       "Saved 3 images.", false},
      {"info without texts", [] { Utilities::showInfoMessage(QString(), QString()); }, AlertStyleNote, "", "", false},
      {"warning", [] { Utilities::showWarningMessage("Battery low."); }, AlertStyleCaution, "Warning", "Battery low.",
       false},
      {"error", [] { Utilities::showErrorMessage("No card."); }, AlertStyleStop, "Error", "No card.", false},
      {"error with help", [] { Utilities::showErrorMessage("Not connected.", "Join the device's network."); },
       AlertStyleStop, "Error", "Not connected.", true},
      {"error with code", [] { Utilities::showErrorMessage("Upload failed.", uint16_t(0xFF0E)); }, AlertStyleStop,
       "Error", "Upload failed.  Connection failure.", false},
      {"error with unknown code", [] { Utilities::showErrorMessage("Failed.", uint16_t(0xFF12)); }, AlertStyleStop,
       "Error", "Failed.  0xFF12", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AlertAnswerer answerer;
    c.call();  // on the GUI thread: modal, returns once answered
    ASSERT_EQ(answerer.seen().size(), 1u);
    const SeenAlert& s = answerer.seen().front();
    EXPECT_TRUE(s.modal);
    EXPECT_EQ(s.title, c.title);
    EXPECT_EQ(s.information, c.information);
    EXPECT_EQ(s.helpButtonShown, c.help);
    EXPECT_EQ(s.icon, modeltest::styleIcon(c.style));
    EXPECT_EQ(Modal::depth(), 0);
  }
  camSetVendor(savedVendor);
}

TEST(UtilitiesMessages, FromWorkersTheCallReturnsAtOnceAndTheAlertsFollowOnTheGuiThread) {
  ViolationCounter violations;
  constexpr int kThreads = 4;
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([t] {
      const QString n = QString::number(t);
      Utilities::showErrorMessage("error " + n);
      Utilities::showWarningMessage("warning " + n);
      Utilities::showInfoMessage("info " + n, "Title " + n);
    });
  // The GUI thread runs no events until every worker is back: none of them waited for it.
  for (std::thread& w : workers) w.join();
  EXPECT_TRUE(modeltest::visibleAlerts().empty());

  AlertAnswerer answerer;
  ASSERT_TRUE(kvtest::waitUntil([&] { return answerer.seen().size() == 3 * kThreads; }));
  std::multiset<QString> shown, expected;
  for (const SeenAlert& s : answerer.seen()) shown.insert(s.information);
  for (int t = 0; t < kThreads; ++t)
    for (const char* kind : {"error ", "warning ", "info "}) expected.insert(kind + QString::number(t));
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(kvtest::waitUntil([] { return Modal::depth() == 0; }));
  EXPECT_EQ(violations.count.load(), 0);
}

TEST(UtilitiesMessages, ShowAndDismissFromAWorkerShowsOnTheGuiThreadAndClosesItself) {
  ViolationCounter violations;
  std::thread worker([] { Utilities::showAndDismissErrorMessage("Card removed.", 0.05); });
  worker.join();
  QPointer<QWidget> window;
  ASSERT_TRUE(kvtest::waitUntil([&] {
    const auto alerts = modeltest::visibleAlerts();
    if (!alerts.empty()) window = alerts.front();
    return !window.isNull();
  }));
  const SeenAlert s = modeltest::readAlert(window);
  EXPECT_FALSE(s.modal);
  EXPECT_EQ(s.title, "Error");
  EXPECT_EQ(s.information, "Card removed.");
  EXPECT_EQ(s.icon, modeltest::styleIcon(AlertStyleStop));
  modeltest::snapshot(window, "error_alert");
  EXPECT_TRUE(kvtest::waitUntil([&] { return window.isNull() || !window->isVisible(); }));
  EXPECT_EQ(violations.count.load(), 0);
}

// The error closes itself just before the program ends, with its release still queued.
KV_EXIT_SCENARIO(ErrorMessageDismissedJustBeforeTheEnd) {
  std::thread worker([] { Utilities::showAndDismissErrorMessage("Card removed.", 0); });
  worker.join();
  bool shown = false;
  for (QElapsedTimer t; !t.isValid() || t.elapsed() < 20000;) {
    if (!t.isValid()) t.start();
    QCoreApplication::processEvents();
    const bool visible = !modeltest::visibleAlerts().empty();
    if (shown && !visible) return 0;
    shown = shown || visible;
  }
  return 2;  // never shown, or never closed
}

TEST(UtilitiesMessages, AnErrorThatClosedItselfJustBeforeTheEndLetsTheProgramEnd) {
  EXPECT_EQ(kvtest::runExitScenario("ErrorMessageDismissedJustBeforeTheEnd"), 0);
}

TEST(UtilitiesMessages, ErrorWithHelpFromAWorkerOffersItsHelpText) {
  std::thread worker([] {
    Utilities::showErrorMessage("Could not connect to the Korvalume.", "Join the Korvalume's Wi-Fi network first.");
  });
  worker.join();
  bool answered = false;
  SeenAlert seen;
  bool popoverShown = false;
  // Runs inside the alert's modal session.
  QTimer driver;
  driver.setInterval(2);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    const auto alerts = modeltest::visibleAlerts();
    if (alerts.empty() || answered) return;
    QWidget* window = alerts.front();
    seen = modeltest::readAlert(window);
    modeltest::clickButton(window, "?");
    if (auto* popover = window->findChild<HelpPopover*>()) popoverShown = popover->isShown();
    modeltest::snapshot(window, "error_alert_with_help");
    answered = modeltest::clickButton(window, "OK");
  });
  driver.start();
  ASSERT_TRUE(kvtest::waitUntil([&] { return answered && Modal::depth() == 0; }));
  EXPECT_TRUE(seen.modal);
  EXPECT_TRUE(seen.helpButtonShown);
  EXPECT_EQ(seen.information, "Could not connect to the Korvalume.");
  EXPECT_TRUE(popoverShown);
}

TEST(UtilitiesStatus, ConnectionStatusValues) {
  for (auto [in, out] : {std::pair<long long, int>{8, 8}, {1, 1}, {5, 5}, {4, 4}, {9, 0}, {0, 0}, {-1, 0},
                         {1LL << 40, 0}, {(1LL << 32) + 5, 0}})
    EXPECT_EQ(Utilities::connectionStatusForInteger(in), out) << in;

  EXPECT_EQ(Utilities::currentConnectionStatus(), 0u);
  std::thread worker([] { Utilities::setCurrentConnectionStatus(5); });
  worker.join();
  EXPECT_EQ(Utilities::currentConnectionStatus(), 5u);
  Utilities::setCurrentConnectionStatus(0);
}

TEST(UtilitiesStatus, FixedAnswers) {
  EXPECT_EQ(Utilities::currentSsid(), QString(""));
  EXPECT_FALSE(Utilities::currentSsid().isNull());
  EXPECT_EQ(Utilities::numberOfLinesForString("one\ntwo\nthree", nullptr), 1);
  EXPECT_EQ(Utilities::returnValueLog({1, "two", 3.0}), nullptr);
  EXPECT_GT(Utilities::freeDiskSpaceInBytes(), 0.0);
}
