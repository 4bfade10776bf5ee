#pragma once
// The user-defaults store: values the user or the program stored, over QSettings (an INI
// file), in front of registered defaults that live in memory only. Thread-safe.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>

class QSettings;

class UserDefaults {
 public:
  // The process-wide store, in the user's configuration folder.
  static UserDefaults& standardUserDefaults();

  // A store in the user's configuration folder (the application's organisation and name).
  UserDefaults();
  // A store in the INI file at path (tests use temporary files).
  explicit UserDefaults(const QString& path);
  ~UserDefaults();
  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // Points this store at another INI file and forgets the registered defaults (tests).
  void useFile(const QString& path);
  QString fileName() const;

  // Adds (or replaces) registered defaults; they answer for keys with no stored value.
  void registerDefaults(const QVariantMap& registrationDictionary);
  // Registers the bundled "DefaultValues" property list; false when it cannot be read.
  bool registerDefaultsFromBundle();
  // The registration dictionary of a property list's bytes (its root must be a dict).
  static QVariantMap defaultsFromPropertyList(const QByteArray& bytes, QString* error = nullptr);

  // The stored value, else the registered one, else an invalid QVariant.
  QVariant objectForKey(const QString& defaultName) const;
  // Typed reads, with the usual conversions ("YES"/"true"/non-zero integers are true);
  // a missing key gives false, 0, 0.0, a null string, an empty array, an invalid date.
  bool boolForKey(const QString& defaultName) const;
  qint64 integerForKey(const QString& defaultName) const;
  double doubleForKey(const QString& defaultName) const;
  QString stringForKey(const QString& defaultName) const;  // strings and numbers only
  QByteArray dataForKey(const QString& defaultName) const;
  QDateTime dateForKey(const QString& defaultName) const;

  // An invalid value removes the key, as setting nil does.
  void setObject(const QVariant& value, const QString& forKey);
  void setBool(bool value, const QString& forKey);
  void setInteger(qint64 value, const QString& forKey);
  void setDouble(double value, const QString& forKey);
  void removeObject(const QString& forKey);

  // Writes pending changes to disk; false on a write error.
  bool synchronize();

 private:
  void openLocked(const QString& path);

  mutable std::mutex mutex_;
  std::unique_ptr<QSettings> settings_;
  QVariantMap registered_;
};
