#pragma once
// Well-known folders. Tests point them at temporary folders.
#include <QString>

class Paths {
 public:
  // The user's documents folder (the cache folder and the session file live below it),
  // created when missing. Empty when it cannot be created.
  static QString documentsDirectory();

  // Overrides the documents folder; a null string returns to the system's.
  static void setDocumentsDirectory(const QString& path);
};
