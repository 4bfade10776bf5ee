#pragma once
// Helpers of the application tests: the alerts the user sees (with their help texts), the
// windows on screen, and a device found through the development override.
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

namespace apptest {

struct ShownAlert {
  QString title, information, help;  // help: what the help button shows, empty without one
};

// Answers every alert with OK (a question with Cancel), reading its texts and opening its
// help first.
class AlertReader {
 public:
  AlertReader();
  ~AlertReader();
  std::vector<ShownAlert> seen() const { return seen_; }
  size_t count() const { return seen_.size(); }
  // The messages alone: the previous session's question left out.
  std::vector<ShownAlert> messages() const;

 private:
  QTimer timer_;
  std::vector<ShownAlert> seen_;
};

// The visible top-level window of that object name, or null.
QWidget* visibleWindow(const QString& objectName);

// Sets KORVALUME_DEVICE for the test and unsets it when it goes.
class DeviceOverride {
 public:
  explicit DeviceOverride(const std::string& value);
  ~DeviceOverride();
};

// What Qt names the threads of its own pools (it scales and converts images on them, and
// ends them with the application object). Ours carry names of their own.
inline constexpr const char* kQtPoolThreadName = "Thread (pooled)";
// Threads of this process right now, Qt's pool threads aside.
int threadCount();
// Their names, for a failure message.
std::string threadNames();

}  // namespace apptest
