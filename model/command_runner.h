#pragma once
// Work that blocks on the device or the disk runs as a list of steps on a background
// thread (or a given serial queue) behind a wait HUD on the front window, and reports its
// last result on the GUI thread. CommandBlock is one step, Command one run.
//
// Steps run in order; a negative result stops the run at once and is its result; an empty
// list gives -1. The HUD appears only once the run has lasted the grace time (1 s), so
// quick runs show nothing. The GUI thread never waits for a step: the finish, the HUD's
// removal and the return block reach it queued. A run still going when the application
// goes away ends without touching the interface.
//
// A run's thread is joined, never left to itself: once it has finished, by the next run's
// start or finish; at the end of the application, which waits up to stepQuitWait for the
// steps still going, so a quit lets a step in progress end (a file half written) but never
// waits forever on one.
#include <QPointer>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class DispatchQueue;
class MBProgressHUD;
class QWidget;

class CommandBlock {
 public:
  using Block = std::function<int32_t()>;

  // initWithBlock:title:. The title labels the HUD when this step is the first of a run.
  CommandBlock(Block block, QString title);

  const Block& block() const { return block_; }
  const QString& title() const { return title_; }

 private:
  Block block_;
  QString title_;
};

class Command : public std::enable_shared_from_this<Command> {
 public:
  using ReturnBlock = std::function<void(int32_t)>;
  using Commands = std::vector<CommandBlock>;

  // The HUD goes on the front window; queue null means a new thread for the steps. From a
  // worker the start hops to the GUI thread and waits for it (not for the steps).
  static void runCommands(Commands commands, ReturnBlock returnBlock, DispatchQueue* queue = nullptr);
  // A null view: no HUD. A view only switches the HUD on; it goes on the front window
  // (behind an alert or a popover in front).
  static void runCommands(Commands commands, ReturnBlock returnBlock, QWidget* inView, DispatchQueue* queue);

  // Runs the steps on the calling thread, then queues commandFinished to the GUI thread.
  void runCommandsInBackground(const Commands& commands);
  // GUI thread (queued there from any other): removes the HUD, posts ConnectionFailureEvent
  // for 0xFF0E, calls the return block.
  void commandFinished(int32_t result);

  // Relabels the HUD of the current run; nothing when there is none or it has no HUD. From
  // a worker it waits for the GUI thread.
  static void changeWaitDialog(const QString& text);

  // A flag kept for callers; the HUD's placement does not depend on it.
  static void setWaitDialogOffsetToTop();
  static void setWaitDialogOffsetToCenter();
  static uint8_t waitDialogOffset();

  // GUI thread.
  MBProgressHUD* waitView() const;
  void setWaitView(MBProgressHUD* waitView);
  ReturnBlock returnBlock() const;
  void setReturnBlock(ReturnBlock returnBlock);

  // The run whose steps are going (the later of two overlapping runs), or null.
  static std::shared_ptr<Command> currentCommand();

  // Seconds a run waits before its HUD appears (1.0). Tests shorten or lengthen it.
  static double graceTime();
  static void setGraceTime(double seconds);
  // GUI thread, as the application is about to end: waits up to `wait` for the steps
  // (and the application's other workers) still going and joins the threads that have
  // finished. True when none was left going (the rest are waited for once more as the
  // application object goes).
  static bool joinRuns(std::chrono::milliseconds wait);
  // How long the end of the application waits for steps still going (5 s).
  static std::chrono::milliseconds stepQuitWait();
  static void setStepQuitWait(std::chrono::milliseconds wait);

  Command() = default;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

 private:
  static void start(Commands commands, ReturnBlock returnBlock, QWidget* inView, DispatchQueue* queue);
  void showWaitView(const QString& title);
  void queueFinish(int32_t result);

  QPointer<MBProgressHUD> mWaitView;
  mutable std::mutex mReturnBlockMutex;
  ReturnBlock mReturnBlock;
};
