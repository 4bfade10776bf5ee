#include <QDir>
#include <QStorageInfo>

#include <atomic>

#include "model/connection_status.h"
#include "model/utilities.h"

namespace {
// Written by the connect screen on the GUI thread, read by command steps on workers.
std::atomic<uint32_t> gCurrentConnectionStatus{ConnectionStatusUnknown};
}  // namespace

int Utilities::connectionStatusForInteger(long long value) {
  return value >= 1 && value <= 8 ? static_cast<int>(value) : ConnectionStatusUnknown;
}

void Utilities::setCurrentConnectionStatus(uint32_t status) { gCurrentConnectionStatus.store(status); }

uint32_t Utilities::currentConnectionStatus() { return gCurrentConnectionStatus.load(); }

QString Utilities::currentSsid() { return QStringLiteral(""); }

int Utilities::numberOfLinesForString(const QString&, const QWidget*) { return 1; }

std::nullptr_t Utilities::returnValueLog(std::initializer_list<QVariant> values) {
  const QVariantList collected(values);
  (void)collected;
  return nullptr;
}

double Utilities::freeDiskSpaceInBytes() {
  QStorageInfo storage(QDir::homePath());
  if (!storage.isValid()) return 0;
  return static_cast<double>(storage.bytesAvailable());
}
