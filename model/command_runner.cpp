#include "model/command_runner.h"

#include <QCoreApplication>

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "platform/notification_names.h"
#include "platform/window_registry.h"
#include "ptp/response_codes.h"
#include "ui/widgets/hud/mb_progress_hud.h"

namespace {

// Process-wide state, never destroyed: a worker may still finish while the process exits.
struct RunnerState {
  std::mutex mutex;
  std::shared_ptr<Command> current;
  // Set while the application object is destroyed: from then on a finishing worker
  // queues nothing to it.
  bool applicationGone = false;
  bool watching = false;
};

RunnerState& state() {
  static RunnerState* s = new RunnerState;
  return *s;
}

std::atomic<uint8_t> gWaitDialogOffset{0};
std::atomic<double> gGraceTime{1.0};

void markApplicationGone() {
  std::lock_guard<std::mutex> lock(state().mutex);
  state().applicationGone = true;
  state().watching = false;
}

// GUI thread, once per application object.
void watchApplication() {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (state().watching) return;
  state().watching = true;
  state().applicationGone = false;
  qAddPostRoutine(markApplicationGone);
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

void Command::start(Commands commands, ReturnBlock returnBlock, QWidget* inView, DispatchQueue* queue) {
  KV_ASSERT_GUI_THREAD();
  watchApplication();
  auto command = std::make_shared<Command>();
  command->setReturnBlock(std::move(returnBlock));
  if (inView != nullptr) command->showWaitView(commands.empty() ? QString() : commands.front().title());

  auto steps = [command, commands = std::move(commands)] { command->runCommandsInBackground(commands); };
  if (queue == nullptr) {
    try {
      std::thread(std::move(steps)).detach();
    } catch (const std::system_error&) {
      command->queueFinish(-1);  // no thread to be had: the run fails instead of hanging
    }
    return;
  }
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
  if (MBProgressHUD* hud = mWaitView.data()) {
    hud->setTaskInProgress(false);
    hud->hide(true);
  }
  mWaitView.clear();
  if (result == ERROR_CONNECTION)
    NotificationCenter::defaultCenter().post(QString::fromLatin1(kConnectionFailureNotification),
                                             QVariant(static_cast<int>(ERROR_CONNECTION)));
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
