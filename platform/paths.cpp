#include "platform/paths.h"

#include <QDir>
#include <QStandardPaths>

#include <mutex>

namespace {
std::mutex gMutex;
QString gDocumentsOverride;
}  // namespace

QString Paths::documentsDirectory() {
  QString path;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    path = gDocumentsOverride;
  }
  if (path.isEmpty()) path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (path.isEmpty()) return QString();
  path = QDir::cleanPath(path);
  if (!QDir().mkpath(path)) {
    qWarning("Paths: cannot create the documents folder %s", qPrintable(path));
    return QString();
  }
  return path;
}

void Paths::setDocumentsDirectory(const QString& path) {
  std::lock_guard<std::mutex> lock(gMutex);
  gDocumentsOverride = path;
}
