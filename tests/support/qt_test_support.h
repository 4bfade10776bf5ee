#pragma once
// Helpers for tests of the Qt layers.
#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <functional>

namespace kvtest {

// Runs the event loop until predicate holds or the deadline passes; returns the predicate.
bool waitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(30000));

// The temporary folder this test run uses as HOME (documents, settings and caches lie
// below it); removed when the run ends.
QString tempHome();

}  // namespace kvtest
