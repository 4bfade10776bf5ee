#include "model/command_runner.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <system_error>
#include <thread>

#include "model/model_events.h"
#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "platform/gui_thread.h"
#include "platform/window_registry.h"
#include "platform/worker_threads.h"
#include "ptp/base/response_codes.h"
#include "ui/widgets/hud/mb_progress_hud.h"

namespace {

// Process-wide state, never destroyed: a worker may still finish while the process exits.
struct RunnerState {
  std::mutex mutex;
  std::shared_ptr<Command> current;
  // Set while the application object is destroyed: from then on a finishing worker
  // queues nothing to it.
  bool applicationGone = false;
  QCoreApplication* watched = nullptr;
};

RunnerState& state() {
  static RunnerState* s = new RunnerState;
  return *s;
}

std::atomic<uint8_t> gWaitDialogOffset{0};
std::atomic<double> gGraceTime{1.0};
std::atomic<std::chrono::milliseconds> gStepQuitWait{std::chrono::milliseconds(5000)};

// Waits up to `wait` for the workers still going (a run's steps run on one of the
// application's worker threads, joined once they have finished), joins the finished ones
// and, with letGo, lets go of the rest. True when none was left going.
bool waitForRuns(std::chrono::milliseconds wait, bool applicationGoing, bool letGo) {
  if (applicationGoing) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().applicationGone = true;
  }
  return WorkerThreads::joinAll(wait, letGo);
}

// Runs as the application object goes (GUI thread): nothing is queued to it any more, and
// the steps still going get a bounded time to end. A step that outlasts it is let go: a
// quit never waits forever on a step.
void endRuns() { waitForRuns(gStepQuitWait.load(), true, true); }

// GUI thread, once per application object. False once that object is going: nothing
// starts then.
bool watchApplication() {
  QCoreApplication* app = QCoreApplication::instance();
  std::lock_guard<std::mutex> lock(state().mutex);
  if (state().watched != app) {
    state().watched = app;
    state().applicationGone = false;
    qAddPostRoutine(endRuns);
  }
  return !state().applicationGone;
}

// Starts the run's steps on a thread of their own. What the steps own is released on that
// thread before it says it has finished, so a join never waits for more than its end.
bool startThread(std::shared_ptr<Command> command, Command::Commands commands) {
  return WorkerThreads::start([command = std::move(command), commands = std::move(commands)]() mutable {
    command->runCommandsInBackground(commands);
    commands.clear();
    command.reset();
  });
}

void setCurrent(const std::shared_ptr<Command>& command) {
  std::lock_guard<std::mutex> lock(state().mutex);
  state().current = command;
}

// Only the run's own finish clears the slot: an earlier run ending must not take the
// HUD's relabelling away from a later one still going.
void clearCurrent(const Command* command) {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (state().current.get() == command) state().current.reset();
}

// The window a run's HUD covers: the front one, unless that is an alert or a popover and
// another window stands behind it.
QWidget* hudWindow() {
  const QList<WindowRegistry::Entry> windows = WindowRegistry::orderedWindows();
  if (windows.isEmpty()) return nullptr;
  const bool frontIsTransient = windows[0].kind == WindowRegistry::Kind::Alert ||
                                windows[0].kind == WindowRegistry::Kind::Popover;
  return frontIsTransient && windows.size() >= 2 ? windows[1].window : windows[0].window;
}

// A step that throws is a failed step: the run stops and reports instead of taking the
// process down from a worker thread.
int32_t runStep(const CommandBlock& step) {
  if (!step.block()) return -1;
  try {
    return step.block()();
  } catch (...) {
    return -1;
  }
}

}  // namespace

CommandBlock::CommandBlock(Block block, QString title) : block_(std::move(block)), title_(std::move(title)) {}

void Command::runCommands(Commands commands, ReturnBlock returnBlock, DispatchQueue* queue) {
  auto run = [&] {
    QWidget* front = WindowRegistry::frontWindow();
    start(std::move(commands), std::move(returnBlock), front, queue);
  };
  if (Dispatch::isMainThread())
    run();
  else
    Dispatch::mainSync(run);
}

void Command::runCommands(Commands commands, ReturnBlock returnBlock, QWidget* inView, DispatchQueue* queue) {
  // The view is a GUI object: it is looked at on the GUI thread only.
  auto run = [&] { start(std::move(commands), std::move(returnBlock), inView, queue); };
  if (Dispatch::isMainThread())
    run();
  else
    Dispatch::mainSync(run);
}

bool Command::joinRuns(std::chrono::milliseconds wait) { return waitForRuns(wait, false, false); }

void Command::start(Commands commands, ReturnBlock returnBlock, QWidget* inView, DispatchQueue* queue) {
  KV_ASSERT_GUI_THREAD();
  if (!watchApplication()) return;
  auto command = std::make_shared<Command>();
  command->setReturnBlock(std::move(returnBlock));
  if (inView != nullptr) command->showWaitView(commands.empty() ? QString() : commands.front().title());

  if (queue == nullptr) {
    WorkerThreads::joinFinished();
    // No thread to be had: the run fails instead of hanging.
    if (!startThread(command, std::move(commands))) command->queueFinish(-1);
    return;
  }
  auto steps = [command, commands = std::move(commands)] { command->runCommandsInBackground(commands); };
  // A queue that is shutting down refuses the steps: the run ends at once, as an empty
  // one, rather than leave its HUD over the window for good.
  if (!queue->async(std::move(steps))) command->queueFinish(-1);
}

void Command::showWaitView(const QString& title) {
  QWidget* window = hudWindow();
  if (window == nullptr) return;
  // Built as showHUDAddedTo does, but with the grace time set before the first show, so a
  // quick run never flashes its HUD. taskInProgress lets the grace timer show it.
  auto* hud = new MBProgressHUD(window);
  hud->setParent(window);
  hud->QWidget::show();
  hud->raise();
  hud->setRemoveFromSuperViewOnHide(true);
  hud->setGraceTime(static_cast<float>(graceTime()));
  hud->setLabelText(title.isNull() ? QStringLiteral("") : title);
  hud->setTaskInProgress(true);
  hud->show(true);
  // show() makes the spinner; place it now rather than at the next label change.
  hud->layoutSubviews();
  mWaitView = hud;
}

void Command::runCommandsInBackground(const Commands& commands) {
  setCurrent(shared_from_this());
  int32_t result = -1;
  for (const CommandBlock& step : commands) {
    result = runStep(step);
    if (result < 0) break;
  }
  queueFinish(result);
}

void Command::queueFinish(int32_t result) {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (state().applicationGone) return;
  Dispatch::main([self = shared_from_this(), result] { self->commandFinished(result); });
}

void Command::commandFinished(int32_t result) {
  if (!Dispatch::isMainThread()) {
    queueFinish(result);
    return;
  }
  clearCurrent(this);
  WorkerThreads::joinFinished();
  if (MBProgressHUD* hud = mWaitView.data()) {
    hud->setTaskInProgress(false);
    hud->hide(true);
  }
  mWaitView.clear();
  if (result == ERROR_CONNECTION)
    postConnectionFailure({ERROR_CONNECTION});
  if (ReturnBlock block = returnBlock()) block(result);
}

void Command::changeWaitDialog(const QString& text) {
  auto relabel = [&text] {
    std::shared_ptr<Command> command = currentCommand();
    if (!command) return;
    if (MBProgressHUD* hud = command->mWaitView.data()) hud->setLabelText(text);
  };
  if (Dispatch::isMainThread())
    relabel();
  else
    Dispatch::mainSync(relabel);
}

void Command::setWaitDialogOffsetToTop() { gWaitDialogOffset = 1; }
void Command::setWaitDialogOffsetToCenter() { gWaitDialogOffset = 0; }
uint8_t Command::waitDialogOffset() { return gWaitDialogOffset; }

MBProgressHUD* Command::waitView() const {
  KV_ASSERT_GUI_THREAD();
  return mWaitView.data();
}

void Command::setWaitView(MBProgressHUD* waitView) {
  KV_ASSERT_GUI_THREAD();
  mWaitView = waitView;
}

Command::ReturnBlock Command::returnBlock() const {
  std::lock_guard<std::mutex> lock(mReturnBlockMutex);
  return mReturnBlock;
}

void Command::setReturnBlock(ReturnBlock returnBlock) {
  std::lock_guard<std::mutex> lock(mReturnBlockMutex);
  mReturnBlock = std::move(returnBlock);
}

std::shared_ptr<Command> Command::currentCommand() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().current;
}

double Command::graceTime() { return gGraceTime; }
void Command::setGraceTime(double seconds) { gGraceTime = seconds; }

std::chrono::milliseconds Command::stepQuitWait() { return gStepQuitWait; }
void Command::setStepQuitWait(std::chrono::milliseconds wait) { gStepQuitWait = wait; }
