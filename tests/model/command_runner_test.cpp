#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "model/command_runner.h"
#include "model/model_events.h"
#include "model_test_support.h"
#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "platform/window_registry.h"
#include "support/qt_test_support.h"
#include "ui/widgets/alert/kl_alert.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/hud/text_view.h"

using modeltest::Latch;

namespace {

// What a run reported, and where.
struct Outcome {
  std::atomic<bool> done{false};
  int32_t result = 0;
  bool onGuiThread = false;
  int calls = 0;
};

Command::ReturnBlock recordInto(const std::shared_ptr<Outcome>& outcome) {
  return [outcome](int32_t result) {
    outcome->result = result;
    outcome->onGuiThread = Dispatch::isMainThread();
    ++outcome->calls;
    outcome->done = true;
  };
}

class CommandRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedGrace_ = Command::graceTime();
    // Long enough that no HUD appears unless a test shortens it.
    Command::setGraceTime(600);
    mainWindow_ = std::make_unique<QWidget>();
    mainWindow_->resize(480, 320);
    QPalette pal = mainWindow_->palette();
    pal.setColor(QPalette::Window, QColor(0x3C, 0x4A, 0x5A));
    mainWindow_->setPalette(pal);
    mainWindow_->setAutoFillBackground(true);
    auto* label = new QLabel("Thumbnails and the still image", mainWindow_.get());
    label->move(20, 20);
    WindowRegistry::registerWindow(mainWindow_.get());
    mainWindow_->show();
    WindowRegistry::bringToFront(mainWindow_.get());
  }

  void TearDown() override {
    for (auto& latch : latches_) latch->open();
    EXPECT_TRUE(kvtest::waitUntil([] { return Command::currentCommand() == nullptr; }));
    Command::setGraceTime(savedGrace_);
  }

  std::shared_ptr<Latch> newLatch() {
    latches_.push_back(std::make_shared<Latch>());
    return latches_.back();
  }

  // A step that waits at the latch, then answers result.
  CommandBlock waitingStep(const std::shared_ptr<Latch>& latch, int32_t result, const QString& title = QString()) {
    return CommandBlock([latch, result] {
      latch->wait();
      return result;
    }, title);
  }

  QWidget* mainWindow() { return mainWindow_.get(); }

 private:
  double savedGrace_ = 1.0;
  std::unique_ptr<QWidget> mainWindow_;
  std::vector<std::shared_ptr<Latch>> latches_;
};

}  // namespace

TEST_F(CommandRunnerTest, StepsRunInOrderOnOneWorkerAndANegativeResultEndsTheRun) {
  struct Case {
    std::vector<int32_t> results;
    int expectedCalls;
    int32_t expectedResult;
  };
  const Case cases[] = {
      {{0x2001, -1, 0x2001}, 2, -1},
      {{}, 0, -1},
      {{5}, 1, 5},
      {{0x2001, 0x2001}, 2, 0x2001},
      {{-7, 1}, 1, -7},
      {{0, 0, 3}, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "steps " << c.results.size() << " expect " << c.expectedResult);
    auto outcome = std::make_shared<Outcome>();
    auto calls = std::make_shared<std::vector<int>>();
    auto threads = std::make_shared<std::vector<std::thread::id>>();
    std::atomic<bool> anyOnGui{false};
    Command::Commands steps;
    for (size_t i = 0; i < c.results.size(); ++i)
      steps.emplace_back([=, &anyOnGui] {
        calls->push_back(static_cast<int>(i));
        threads->push_back(std::this_thread::get_id());
        if (Dispatch::isMainThread()) anyOnGui = true;
        return c.results[i];
      }, "Step");
    Command::runCommands(std::move(steps), recordInto(outcome));
    ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
    EXPECT_EQ(outcome->result, c.expectedResult);
    EXPECT_TRUE(outcome->onGuiThread);
    EXPECT_EQ(outcome->calls, 1);
    std::vector<int> inOrder;
    for (int i = 0; i < c.expectedCalls; ++i) inOrder.push_back(i);
    EXPECT_EQ(*calls, inOrder);
    EXPECT_FALSE(anyOnGui.load());
    for (const std::thread::id& id : *threads) EXPECT_EQ(id, threads->front());
  }
}

TEST_F(CommandRunnerTest, AStepWithoutABlockOrThatThrowsFailsTheRun) {
  struct Case {
    const char* name;
    CommandBlock failing;
  };
  const Case cases[] = {
      {"no block", CommandBlock(nullptr, "Broken")},
      {"throws", CommandBlock([]() -> int32_t { throw std::runtime_error("disk gone"); }, "Throws")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto outcome = std::make_shared<Outcome>();
    auto later = std::make_shared<std::atomic<bool>>(false);
    Command::runCommands({CommandBlock([] { return 0x2001; }, "First"), c.failing,
                          CommandBlock([later] { *later = true; return 0x2001; }, "Later")},
                         recordInto(outcome));
    ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
    EXPECT_EQ(outcome->result, -1);
    EXPECT_FALSE(later->load());
  }
}

TEST_F(CommandRunnerTest, OnlyAConnectionFailurePostsConnectionFailureBeforeTheReturnBlock) {
  for (int32_t result : {0xFF0E, 0x2001, -1, 0xFF0F, 0x1FF0E}) {
    SCOPED_TRACE(result);
    QObject owner;
    std::vector<std::string> events;
    uint16_t posted = 0;
    observeConnectionFailure(&owner, [&](const ConnectionFailureEvent& e) {
      events.push_back(Dispatch::isMainThread() ? "posted on gui" : "posted elsewhere");
      posted = e.result;
    });
    std::atomic<bool> done{false};
    Command::runCommands({CommandBlock([result] { return result; }, "Connecting")}, [&](int32_t) {
      events.push_back("return block");
      done = true;
    });
    ASSERT_TRUE(kvtest::waitUntil([&] { return done.load(); }));
    if (result == 0xFF0E) {
      EXPECT_EQ(events, (std::vector<std::string>{"posted on gui", "return block"}));
      EXPECT_EQ(posted, 0xFF0E);
    } else {
      EXPECT_EQ(events, std::vector<std::string>{"return block"});
    }
  }
}

TEST_F(CommandRunnerTest, ARunThatEndsWithinTheGraceTimeNeverShowsItsHud) {
  for (bool empty : {true, false}) {
    SCOPED_TRACE(empty ? "empty run" : "one quick step");
    auto outcome = std::make_shared<Outcome>();
    Command::Commands steps;
    if (!empty) steps.emplace_back([] { return 0x2001; }, "Quick");
    Command::runCommands(std::move(steps), recordInto(outcome));
    // The HUD is made at once (invisible until the grace time has passed) ...
    QPointer<MBProgressHUD> hud = MBProgressHUD::HUDForView(mainWindow());
    ASSERT_TRUE(hud);
    EXPECT_EQ(hud->labelText(), empty ? "" : "Quick");
    qreal mostAlpha = 0;
    bool everShown = false;
    ASSERT_TRUE(kvtest::waitUntil([&] {
      if (hud) {
        mostAlpha = std::max(mostAlpha, hud->alphaValue());
        everShown = everShown || hud->showStarted().has_value();
      }
      return outcome->done.load() && hud.isNull();
    }));
    // ... and removed with the run, never having appeared.
    EXPECT_EQ(mostAlpha, 0);
    EXPECT_FALSE(everShown);
    EXPECT_EQ(outcome->result, empty ? -1 : 0x2001);
  }
}

TEST_F(CommandRunnerTest, ALongRunShowsItsHudWhileTheGuiThreadRunsAndStepsRelabelIt) {
  Command::setGraceTime(0.02);
  auto first = newLatch(), second = newLatch();
  auto outcome = std::make_shared<Outcome>();
  Command::runCommands({CommandBlock([first] {
                          first->wait();
                          Command::changeWaitDialog("Loading thumbnails");  // from the worker
                          return 0x2001;
                        }, "Loading session"),
                        waitingStep(second, 0x2001, "Not shown: only the first title labels the HUD")},
                       recordInto(outcome));
  QPointer<MBProgressHUD> hud = MBProgressHUD::HUDForView(mainWindow());
  ASSERT_TRUE(hud);
  EXPECT_EQ(hud->thread(), mainWindow()->thread());
  // The step blocks; the GUI thread goes on (the grace timer fires, the fade runs).
  ASSERT_TRUE(kvtest::waitUntil([&] { return hud->alphaValue() == 1 && !hud->isAnimating(); }));
  EXPECT_TRUE(first->waiting());
  EXPECT_EQ(hud->labelText(), "Loading session");
  ASSERT_NE(hud->indicator(), nullptr);  // the spinner sits centred in the panel, above the label
  EXPECT_NEAR(hud->indicator()->geometry().center().x(), mainWindow()->width() / 2, 2);
  EXPECT_LT(hud->indicator()->geometry().bottom(), hud->label()->geometry().top());
  EXPECT_EQ(Command::currentCommand()->waitView(), hud.data());
  modeltest::snapshot(mainWindow(), "command_hud");

  first->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return hud->labelText() == "Loading thumbnails"; }));
  ASSERT_TRUE(kvtest::waitUntil([&] { return second->waiting(); }));
  EXPECT_FALSE(outcome->done.load());
  modeltest::snapshot(mainWindow(), "command_hud_relabelled");

  second->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load() && hud.isNull(); }));
  EXPECT_EQ(outcome->result, 0x2001);
  EXPECT_EQ(Command::currentCommand(), nullptr);
}

TEST_F(CommandRunnerTest, TheHudCoversTheWindowBehindAnAlertOrPopoverInFront) {
  enum class Front { alert, popover, alertAlone };
  for (Front front : {Front::alert, Front::popover, Front::alertAlone}) {
    SCOPED_TRACE(static_cast<int>(front));
    mainWindow()->show();
    WindowRegistry::bringToFront(mainWindow());
    std::shared_ptr<KL_Alert> alert;
    std::unique_ptr<QWidget> popover;
    QWidget* frontWindow = nullptr;
    if (front == Front::popover) {
      popover = std::make_unique<QWidget>();
      popover->resize(120, 80);
      WindowRegistry::registerWindow(popover.get(), WindowRegistry::Kind::Popover);
      popover->show();
      WindowRegistry::bringToFront(popover.get());
      frontWindow = popover.get();
    } else {
      alert = KL_Alert::klAlertWithStyle(AlertStyleNote);
      alert->showNonModal();
      frontWindow = alert->window();
      if (front == Front::alertAlone) mainWindow()->hide();
    }
    ASSERT_EQ(WindowRegistry::frontWindow(), frontWindow);
    auto latch = newLatch();
    auto outcome = std::make_shared<Outcome>();
    Command::runCommands({waitingStep(latch, 0x2001, "Downloading")}, recordInto(outcome));
    QWidget* expected = front == Front::alertAlone ? frontWindow : mainWindow();
    QWidget* other = front == Front::alertAlone ? mainWindow() : frontWindow;
    EXPECT_NE(MBProgressHUD::HUDForView(expected), nullptr);
    EXPECT_EQ(MBProgressHUD::HUDForView(other), nullptr);
    latch->open();
    ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
    if (alert) alert->close();
  }
}

TEST_F(CommandRunnerTest, ARunStartedFromAWorkerBehavesLikeOneStartedOnTheGuiThread) {
  auto latch = newLatch();
  auto outcome = std::make_shared<Outcome>();
  std::atomic<bool> startReturned{false};
  std::thread starter([&] {
    Command::runCommands({waitingStep(latch, 0x2001, "Connecting")}, recordInto(outcome));
    startReturned = true;  // while the step still waits: the start does not wait for steps
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return startReturned.load() && latch->waiting(); }));
  starter.join();
  MBProgressHUD* hud = MBProgressHUD::HUDForView(mainWindow());
  ASSERT_NE(hud, nullptr);
  EXPECT_EQ(hud->thread(), mainWindow()->thread());
  EXPECT_EQ(hud->labelText(), "Connecting");
  latch->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
  EXPECT_TRUE(outcome->onGuiThread);
  EXPECT_EQ(outcome->result, 0x2001);
}

TEST_F(CommandRunnerTest, StepsRunOnAGivenQueueAndAQueueThatRefusesEndsTheRun) {
  DispatchQueue queue("com.korvalume.test.commands");
  auto outcome = std::make_shared<Outcome>();
  std::atomic<bool> onQueue{false};
  Command::runCommands({CommandBlock([&] {
                         onQueue = queue.isCurrent();
                         return 0x2001;
                       }, "On a queue")},
                       recordInto(outcome), mainWindow(), &queue);
  ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
  EXPECT_TRUE(onQueue.load());
  EXPECT_EQ(outcome->result, 0x2001);

  queue.stop();
  auto refused = std::make_shared<Outcome>();
  std::atomic<bool> ran{false};
  Command::runCommands({CommandBlock([&] { ran = true; return 0x2001; }, "Never")}, recordInto(refused),
                       mainWindow(), &queue);
  QPointer<MBProgressHUD> hud = MBProgressHUD::HUDForView(mainWindow());
  ASSERT_TRUE(kvtest::waitUntil([&] { return refused->done.load() && hud.isNull(); }));
  EXPECT_EQ(refused->result, -1);
  EXPECT_FALSE(ran.load());

  // No view: no HUD at all.
  auto noHud = std::make_shared<Outcome>();
  Command::runCommands({CommandBlock([] { return 1; }, "Hidden")}, recordInto(noHud), nullptr, nullptr);
  EXPECT_EQ(MBProgressHUD::HUDForView(mainWindow()), nullptr);
  ASSERT_TRUE(kvtest::waitUntil([&] { return noHud->done.load(); }));
  EXPECT_EQ(noHud->result, 1);
}

TEST_F(CommandRunnerTest, OfOverlappingRunsTheLaterIsCurrentUntilItEnds) {
  auto latchA = newLatch(), latchB = newLatch();
  auto a = std::make_shared<Outcome>(), b = std::make_shared<Outcome>();
  Command::runCommands({waitingStep(latchA, 1, "A")}, recordInto(a));
  QPointer<MBProgressHUD> hudA = MBProgressHUD::HUDForView(mainWindow());
  ASSERT_TRUE(kvtest::waitUntil([&] { return latchA->waiting(); }));
  Command::runCommands({waitingStep(latchB, 2, "B")}, recordInto(b));
  QPointer<MBProgressHUD> hudB = MBProgressHUD::HUDForView(mainWindow());
  ASSERT_NE(hudA, hudB);
  ASSERT_TRUE(kvtest::waitUntil([&] { return latchB->waiting(); }));
  EXPECT_EQ(Command::currentCommand()->waitView(), hudB.data());

  latchA->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return a->done.load() && hudA.isNull(); }));
  // The earlier run's end leaves the later one current: its HUD can still be relabelled.
  ASSERT_NE(Command::currentCommand(), nullptr);
  Command::changeWaitDialog("B, relabelled");
  EXPECT_EQ(hudB->labelText(), "B, relabelled");

  latchB->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return b->done.load(); }));
  EXPECT_EQ(Command::currentCommand(), nullptr);
  Command::changeWaitDialog("nobody");  // no current run: nothing happens
  EXPECT_EQ(a->result, 1);
  EXPECT_EQ(b->result, 2);
}

TEST_F(CommandRunnerTest, AWindowClosedMidRunTakesItsHudAndTheRunStillReports) {
  auto window = std::make_unique<QWidget>();
  window->resize(300, 200);
  WindowRegistry::registerWindow(window.get());
  window->show();
  WindowRegistry::bringToFront(window.get());
  Command::setGraceTime(0.01);
  auto latch = newLatch();
  auto outcome = std::make_shared<Outcome>();
  Command::runCommands({waitingStep(latch, 0xFF0E, "Connecting")}, recordInto(outcome));
  QPointer<MBProgressHUD> hud = MBProgressHUD::HUDForView(window.get());
  ASSERT_TRUE(hud);
  ASSERT_TRUE(kvtest::waitUntil([&] { return hud->showStarted().has_value(); }));
  window.reset();  // the HUD goes with its window while the step still runs
  EXPECT_TRUE(hud.isNull());
  latch->open();
  ASSERT_TRUE(kvtest::waitUntil([&] { return outcome->done.load(); }));
  EXPECT_EQ(outcome->result, 0xFF0E);
}

TEST_F(CommandRunnerTest, WaitDialogOffsetIsAFlag) {
  Command::setWaitDialogOffsetToTop();
  EXPECT_EQ(Command::waitDialogOffset(), 1);
  Command::setWaitDialogOffsetToCenter();
  EXPECT_EQ(Command::waitDialogOffset(), 0);
}

namespace {

// A run whose step waits for good, at a latch left to the end of the process; its return
// block ends the process with 3. Returns once the step waits.
void startStepThatNeverEnds() {
  auto* latch = new Latch;
  Command::runCommands({CommandBlock([latch] {
                         latch->wait();
                         return 0x2001;
                       }, "Connecting")},
                       [](int32_t) { std::_Exit(3); });
  kvtest::waitUntil([&] { return latch->waiting(); });
}

}  // namespace

// The process ends (as at quit) while a step still runs with its HUD up: it exits cleanly,
// and the run's return block never runs against a half-destroyed process.
TEST(CommandRunnerDeathTest, QuittingWhileAStepRunsEndsTheProcessCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Command::setGraceTime(0.01);
        auto* window = new QWidget;  // left to the exit, like the application's windows
        window->resize(300, 200);
        WindowRegistry::registerWindow(window);
        window->show();
        startStepThatNeverEnds();
        kvtest::waitUntil([&] {
          auto* hud = MBProgressHUD::HUDForView(window);
          return hud != nullptr && hud->showStarted().has_value();
        });
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

namespace {

std::atomic<bool> gStepEnded{false};

// Destroyed with the program's static objects, after the application object: the step
// must have ended by then.
struct StepEndedByTheEnd {
  ~StepEndedByTheEnd() {
    if (!gStepEnded) std::_Exit(4);
  }
};

// Quits the way the application does: its event loop returns, then main.
int quitFromTheEventLoop() {
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  return QCoreApplication::exec();
}

}  // namespace

// A step still writing when the user quits: the quit lets it end before the program does,
// and its return block no longer runs.
KV_EXIT_SCENARIO(StepEndingDuringTheQuit) {
  static StepEndedByTheEnd check;
  auto latch = std::make_shared<Latch>();
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, [latch] { latch->open(); });
  Command::runCommands({CommandBlock([latch] {
                         latch->wait();
                         QThread::msleep(100);  // the rest of the write takes a moment
                         gStepEnded = true;
                         return 0x2001;
                       }, "Saving")},
                       [](int32_t) { std::_Exit(3); });
  return quitFromTheEventLoop();
}

// A step that never ends does not hold the quit past its bound.
KV_EXIT_SCENARIO(StepNeverEndingAtTheQuit) {
  Command::setStepQuitWait(std::chrono::milliseconds(20));
  startStepThatNeverEnds();
  return quitFromTheEventLoop();
}

TEST(CommandRunnerQuit, AQuitWaitsForAStepInProgressButNeverForever) {
  for (const char* scenario : {"StepEndingDuringTheQuit", "StepNeverEndingAtTheQuit"}) {
    SCOPED_TRACE(scenario);
    EXPECT_EQ(kvtest::runExitScenario(scenario), 0);
  }
}
