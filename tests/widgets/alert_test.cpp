#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

#include "platform/modal.h"
#include "platform/window_registry.h"
#include "support/qt_test_support.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

// Runs `fn` once, from the event loop (also inside a modal session), as soon as the
// alert's window is on screen.
void whenShown(KL_Alert* alert, std::function<void()> fn) {
  auto* timer = new QTimer;
  timer->setInterval(2);
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    if (!alert->isWindowLoaded() || !alert->window()->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    fn();
  });
  timer->start();
}

void click(SYFlatButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }

// Runs blockingShow on a worker and drives the GUI thread until it returns.
AlertResponse blockingShowFromWorker(const std::shared_ptr<KL_Alert>& alert, std::function<void()> action,
                                     std::function<void()> seenByWorker = {}) {
  std::atomic<bool> done{false};
  AlertResponse result = 99;
  whenShown(alert.get(), std::move(action));
  std::thread worker([&] {
    result = alert->blockingShow();
    if (seenByWorker) seenByWorker();
    done = true;
  });
  EXPECT_TRUE(kvtest::waitUntil([&] { return done.load(); }));
  worker.join();
  return result;
}

}  // namespace

TEST(Alert, ButtonVisibilityTable) {
  struct Case {
    QString cancel, help, third;
    bool cancelShown, helpShown, thirdShown;
  };
  const Case cases[] = {
      {"", "", "", false, false, false},
      {"Cancel", "", "", true, false, false},
      {"", "Some help", "", false, true, false},
      {"", QString(), "Retry", false, false, true},
      {"Cancel", "Help", "Retry", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.cancel + "|" + c.help + "|" + c.third).toStdString());
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
    alert->setCancelButtonText(c.cancel, nullptr);
    alert->setHelpText(c.help);
    if (!c.third.isEmpty()) alert->setThirdButtonText(c.third, nullptr);
    alert->showNonModal();
    EXPECT_TRUE(alert->oOkButton->isVisible());
    EXPECT_EQ(alert->oOkButton->title(), "OK");
    EXPECT_EQ(alert->oCancelButton->isVisible(), c.cancelShown);
    EXPECT_EQ(alert->oHelpButton->isVisible(), c.helpShown);
    EXPECT_EQ(alert->oThirdButton->isVisible(), c.thirdShown);
    EXPECT_FALSE(alert->oCheckButton->isVisible());
    EXPECT_FALSE(alert->oProgressIndicator->isVisible());
    alert->close();
  }
}

TEST(Alert, StyleIconsAndDefaults) {
  EXPECT_EQ(KL_Alert::iconNameForStyle(AlertStyleCaution), "AlertCautionIcon");
  EXPECT_EQ(KL_Alert::iconNameForStyle(AlertStyleNote), "AlertNoteIcon");
  EXPECT_EQ(KL_Alert::iconNameForStyle(AlertStyleStop), "AlertStopIcon");
  EXPECT_EQ(KL_Alert::iconNameForStyle(7), "AlertNoteIcon");
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleStop);
  EXPECT_EQ(alert->response(), 0);
  EXPECT_FALSE(alert->isWindowLoaded());
  alert->showNonModal();
  EXPECT_FALSE(alert->oImageView->image().isNull());
  EXPECT_EQ(WindowRegistry::orderedWindows().front().kind, WindowRegistry::Kind::Alert);
  alert->close();
}

TEST(Alert, TitleIsFixedAtLoadButTheMessageFollows) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  alert->setTitleText("First");
  alert->setInformationText("one");
  alert->showNonModal();
  alert->setTitleText("Second");
  EXPECT_EQ(alert->oTitleTextField->text(), "First");
  alert->setInformationText("two");
  EXPECT_EQ(alert->oInformationTextField->text(), "two");
  alert->setInformationText(QString());
  EXPECT_EQ(alert->oInformationTextField->text(), "two");
  alert->setShowProgressIndicator(true);
  alert->setProgress(40, "40%");
  EXPECT_EQ(alert->oInformationTextField->text(), "40%");
  alert->close();
}

TEST(Alert, ModalShowEndsWithTheButtonsAnswer) {
  for (auto [pick, expected] : {std::pair{0, AlertResponseOk}, std::pair{1, AlertResponseCancel},
                               std::pair{2, AlertResponseThird}}) {
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleCaution);
    alert->setCancelButtonText("Cancel", nullptr);
    QStringList ran;
    alert->setOkButtonText("OK", [&] { ran << "ok"; });
    alert->setCancelButtonText("Cancel", [&] { ran << "cancel"; });
    alert->setThirdButtonText("Other", [&] { ran << "third"; });
    whenShown(alert.get(), [&, pick = pick] {
      EXPECT_EQ(Modal::depth(), 1);
      click(pick == 0 ? alert->oOkButton : pick == 1 ? alert->oCancelButton : alert->oThirdButton);
    });
    alert->show();
    EXPECT_EQ(Modal::depth(), 0);
    EXPECT_EQ(alert->response(), expected);
    EXPECT_EQ(ran.size(), 1);
    EXPECT_FALSE(alert->window()->isVisible());
  }
}

TEST(Alert, BlockingShowFromAWorkerReturnsTheClickAfterItsHandler) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  std::atomic<bool> handlerRan{false};
  bool handlerSeenByWorker = false;
  alert->setOkButtonText("Format", [&] { handlerRan = true; });
  alert->setCancelButtonText("Cancel", nullptr);
  const AlertResponse r = blockingShowFromWorker(
      alert, [&] { click(alert->oOkButton); }, [&] { handlerSeenByWorker = handlerRan.load(); });
  EXPECT_EQ(r, AlertResponseOk);
  EXPECT_TRUE(handlerSeenByWorker);
  EXPECT_EQ(alert->response(), AlertResponseOk);
}

TEST(Alert, BlockingShowOnTheMainThreadAnswersThirdAndShowsNothing) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  EXPECT_EQ(alert->blockingShow(), AlertResponseThird);
  EXPECT_FALSE(alert->isWindowLoaded());
}

TEST(Alert, EscapeAndTheCloseButtonAreAClickOnCancelOrElseOk) {
  struct Case {
    bool cancelShown;
    bool viaCloseButton;
    AlertResponse expected;
  };
  for (const Case c : {Case{true, false, AlertResponseCancel}, Case{false, false, AlertResponseOk},
                       Case{true, true, AlertResponseCancel}, Case{false, true, AlertResponseOk}}) {
    SCOPED_TRACE(testing::Message() << c.cancelShown << c.viaCloseButton);
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
    QStringList ran;
    alert->setOkButtonText("OK", [&] { ran << "ok"; });
    if (c.cancelShown) alert->setCancelButtonText("Cancel", [&] { ran << "cancel"; });
    const AlertResponse r = blockingShowFromWorker(alert, [&] {
      if (c.viaCloseButton)
        alert->window()->close();
      else
        QTest::keyClick(alert->window(), Qt::Key_Escape);
    });
    EXPECT_EQ(r, c.expected);
    EXPECT_EQ(ran, QStringList({c.cancelShown ? "cancel" : "ok"}));
    EXPECT_FALSE(alert->window()->isVisible());
    EXPECT_EQ(Modal::depth(), 0);
  }
}

TEST(Alert, TeardownAnswersZeroAndReleasesTheWaiter) {
  // Destroyed while a worker waits.
  {
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
    alert->showNonModal();
    KL_Alert* raw = alert.get();
    std::atomic<int> result{99};
    std::thread worker([&] { result = raw->waitForButton(); });
    ASSERT_TRUE(kvtest::waitUntil([&] { return alert->waitingThreads() == 1; }));
    alert.reset();
    worker.join();
    EXPECT_EQ(result.load(), AlertResponseCancel);
  }
  // Abandoned (quit, session teardown) while shown modal for a blocked worker.
  {
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
    bool handler = false;
    alert->setOkButtonText("OK", [&] { handler = true; });
    const AlertResponse r = blockingShowFromWorker(alert, [&] { alert->abandon(); });
    EXPECT_EQ(r, AlertResponseCancel);
    EXPECT_FALSE(handler);
    EXPECT_EQ(Modal::depth(), 0);
  }
}

TEST(Alert, ShowAndDismissKeepsTheAlertUntilItsTimerFires) {
  std::weak_ptr<KL_Alert> weak;
  QPointer<QWidget> window;
  {
    auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
    weak = alert;
    alert->showAndDismiss(0.05);
    window = alert->window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(alert->isModal());
  }
  EXPECT_FALSE(weak.expired());
  EXPECT_TRUE(kvtest::waitUntil([&] { return weak.expired(); }));
  EXPECT_TRUE(kvtest::waitUntil([&] { return window.isNull(); }));
}

TEST(Alert, ShowAndDismissAfterAClickDoesNoHarm) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  std::weak_ptr<KL_Alert> weak = alert;
  alert->showAndDismiss(0.03);
  click(alert->oOkButton);
  EXPECT_FALSE(alert->window()->isVisible());
  EXPECT_EQ(alert->response(), AlertResponseOk);
  alert.reset();
  EXPECT_TRUE(kvtest::waitUntil([&] { return weak.expired(); }));
}

TEST(Alert, HelpButtonTogglesThePopover) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  alert->setHelpText("Insert a card.");
  alert->showNonModal();
  EXPECT_FALSE(alert->isHelpPopoverShown());
  click(alert->oHelpButton);
  EXPECT_TRUE(alert->isHelpPopoverShown());
  EXPECT_EQ(alert->oHelpTextField->text(), "Insert a card.");
  // Above the help button (its max-y edge).
  EXPECT_LE(alert->oHelpPopover->geometry().bottom(), alert->oHelpButton->geometry().top());
  click(alert->oHelpButton);
  EXPECT_FALSE(alert->isHelpPopoverShown());
  alert->close();
}

// The help text is the smaller, bold line: sizes count pixels as the design's points do,
// in the embedded faces, whatever the machine's font settings.
TEST(Alert, HelpTextIsSmallerThanTheMessage) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
  alert->setTitleText("Information");
  alert->setInformationText("The card is full.");
  alert->setHelpText("Insert a card.");
  alert->showNonModal();
  struct Case {
    const char* name;
    QLabel* field;
    int pixels;
    bool bold;
  } const cases[] = {{"title", alert->oTitleTextField, 18, true},
                     {"message", alert->oInformationTextField, 13, false},
                     {"help", alert->oHelpTextField, 12, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QFontInfo info(c.field->font());
    EXPECT_EQ(info.pixelSize(), c.pixels);
    EXPECT_EQ(info.bold(), c.bold);
    EXPECT_EQ(info.family(), "Liberation Sans");
  }
  EXPECT_LT(QFontMetrics(alert->oHelpTextField->font()).capHeight(),
            QFontMetrics(alert->oInformationTextField->font()).capHeight());
  alert->close();
}
