#pragma once
// The application's bundled resources: files found by name and type, and the localized
// string table (English only).
#include <QString>

class Bundle {
 public:
  // Makes the bundled resources available; idempotent. The other members call it.
  static void init();

  // The path of resource "name.type" (a Qt resource path), or a null string when the
  // bundle has no such resource.
  static QString pathForResource(const QString& name, const QString& type);

  // The text for key. A key not in the table gives value when value is not empty, else
  // the key itself.
  static QString localizedString(const QString& key, const QString& value = QString());

  // Number of entries in the string table (0 when it failed to load).
  static int localizedStringCount();
};
