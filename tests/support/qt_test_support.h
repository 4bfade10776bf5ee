#pragma once
// Helpers for tests of the Qt layers.
#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace kvtest {

// Runs the event loop until predicate holds or the deadline passes; returns the predicate.
bool waitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(30000));

// The temporary folder this test run uses as HOME (documents, settings and caches lie
// below it); removed when the run ends.
QString tempHome();

// What happens when a program ends cannot be seen from inside a process that goes on
// running tests. An exit scenario runs in a child copy of this test program: the child
// builds its application object as main() does, runs the scenario's body, and then ends as
// the application does, its application object destroyed and its static objects after it.
// The body's result is the child's exit code.
using ExitScenarioBody = std::function<int()>;
bool registerExitScenario(const char* name, ExitScenarioBody body);

// The child's exit code; nothing when it crashed, or had not ended by the deadline (a
// hang at exit: the child is then killed).
std::optional<int> runExitScenario(const char* name,
                                   std::chrono::milliseconds deadline = std::chrono::milliseconds(30000));

}  // namespace kvtest

// Defines an exit scenario at file scope: KV_EXIT_SCENARIO(Name) { ...; return 0; }
#define KV_EXIT_SCENARIO(name)                                                                      \
  static int kvExitScenario_##name();                                                               \
  [[maybe_unused]] static const bool kvExitScenarioRegistered_##name =                             \
      kvtest::registerExitScenario(#name, kvExitScenario_##name);                                   \
  static int kvExitScenario_##name()
