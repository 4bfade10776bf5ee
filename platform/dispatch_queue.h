#pragma once
// A labelled serial queue: one named thread draining a first-in first-out list of blocks,
// one at a time, in the order they were queued.
#include <functional>
#include <memory>
#include <string>
#include <thread>

class DispatchQueue {
 public:
  // What stop() does with blocks still queued.
  enum class Pending { run, discard };

  explicit DispatchQueue(std::string label);
  // Stops the queue, running what is already queued.
  ~DispatchQueue();
  DispatchQueue(const DispatchQueue&) = delete;
  DispatchQueue& operator=(const DispatchQueue&) = delete;

  const std::string& label() const { return label_; }

  // Queues block; false (block dropped) once the queue is stopping.
  bool async(std::function<void()> block);
  // Runs block on the queue and waits for it; runs it directly when called from the
  // queue's own thread. False when the queue stopped before block ran.
  bool sync(const std::function<void()>& block);

  // Refuses new blocks, runs or drops what is queued, and waits for the thread to end.
  // From the queue's own thread it only asks: the thread ends after the current block.
  void stop(Pending pending = Pending::run);

  bool isCurrent() const;
  bool isStopping() const;

  // The thread name for a label: Linux keeps at most 15 characters, so leading
  // reverse-domain parts are dropped first ("com.korvalume.ptp.bgqueue" -> "ptp.bgqueue").
  static std::string threadName(const std::string& label);

 private:
  struct State;
  static void run(const std::shared_ptr<State>& state, const std::string& name);

  std::string label_;
  std::shared_ptr<State> state_;
  std::thread thread_;
};
