#include "platform/user_defaults.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>
#include <limits>

#include "platform/bundle.h"
#include "platform/property_list.h"

namespace {

QString standardPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QString org = QCoreApplication::organizationName();
  QString app = QCoreApplication::applicationName();
  if (app.isEmpty()) app = QStringLiteral("korvalume-viewer");
  return folder + QLatin1Char('/') + (org.isEmpty() ? QString() : org + QLatin1Char('/')) + app +
         QStringLiteral(".conf");
}

bool isNumber(const QVariant& v) {
  switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
      return true;
    default:
      return false;
  }
}

// Saturating, so an absurd stored value cannot overflow the conversion.
qint64 toInteger(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9.2e18) return std::numeric_limits<qint64>::max();
  if (d <= -9.2e18) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(d);
}

}  // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
  // Never destroyed: worker threads may read settings while the process exits.
  static UserDefaults* defaults = new UserDefaults;
  return *defaults;
}

UserDefaults::UserDefaults() { openLocked(standardPath()); }

UserDefaults::UserDefaults(const QString& path) { openLocked(path); }

UserDefaults::~UserDefaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (settings_) settings_->sync();
}

void UserDefaults::openLocked(const QString& path) {
  if (settings_) settings_->sync();
  settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  // No thread affinity: QSettings would otherwise sync itself from its thread's event
  // loop, outside our lock. We sync on every write instead.
  settings_->moveToThread(nullptr);
}

void UserDefaults::useFile(const QString& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  openLocked(path);
  registered_.clear();
}

QString UserDefaults::fileName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return settings_->fileName();
}

void UserDefaults::registerDefaults(const QVariantMap& registrationDictionary) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = registrationDictionary.cbegin(); it != registrationDictionary.cend(); ++it) {
    registered_.insert(it.key(), it.value());
  }
}

QVariantMap UserDefaults::defaultsFromPropertyList(const QByteArray& bytes, QString* error) {
  QVariant root = propertyListFromBytes(bytes, error);
  if (!root.isValid()) return {};
  if (root.metaType().id() != QMetaType::QVariantMap) {
    if (error != nullptr) *error = QStringLiteral("the defaults property list is not a dictionary");
    return {};
  }
  return root.toMap();
}

bool UserDefaults::registerDefaultsFromBundle() {
  QString path = Bundle::pathForResource(QStringLiteral("DefaultValues"), QStringLiteral("plist"));
  if (path.isEmpty()) {
    qWarning("UserDefaults: no bundled DefaultValues.plist");
    return false;
  }
  QString error;
  QVariant root = propertyListFromFile(path, &error);
  if (root.metaType().id() != QMetaType::QVariantMap) {
    qWarning("UserDefaults: DefaultValues.plist unreadable: %s", qPrintable(error));
    return false;
  }
  registerDefaults(root.toMap());
  return true;
}

QVariant UserDefaults::objectForKey(const QString& defaultName) const {
  std::lock_guard<std::mutex> lock(mutex_);
  QVariant stored = settings_->value(defaultName);
  if (stored.isValid()) return stored;
  return registered_.value(defaultName);
}

bool UserDefaults::boolForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  if (v.metaType().id() == QMetaType::Bool) return v.toBool();
  if (isNumber(v)) return v.toDouble() != 0.0;
  if (v.metaType().id() == QMetaType::QString) {
    QString s = v.toString().trimmed().toLower();
    if (s == QLatin1String("yes") || s == QLatin1String("true")) return true;
    bool ok = false;
    double d = s.toDouble(&ok);
    return ok && d != 0.0;
  }
  return false;
}

qint64 UserDefaults::integerForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  if (v.metaType().id() == QMetaType::Bool) return v.toBool() ? 1 : 0;
  if (isNumber(v)) {
    if (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float) {
      return toInteger(v.toDouble());
    }
    return v.toLongLong();
  }
  if (v.metaType().id() == QMetaType::QString) {
    QString s = v.toString().trimmed();
    bool ok = false;
    qint64 n = s.toLongLong(&ok);
    if (ok) return n;
    double d = s.toDouble(&ok);
    if (ok) return toInteger(d);
    QString lower = s.toLower();
    return (lower == QLatin1String("true") || lower == QLatin1String("yes")) ? 1 : 0;
  }
  return 0;
}

double UserDefaults::doubleForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  if (v.metaType().id() == QMetaType::Bool) return v.toBool() ? 1.0 : 0.0;
  if (isNumber(v)) return v.toDouble();
  if (v.metaType().id() == QMetaType::QString) {
    bool ok = false;
    double d = v.toString().trimmed().toDouble(&ok);
    if (ok) return d;
    QString lower = v.toString().trimmed().toLower();
    return (lower == QLatin1String("true") || lower == QLatin1String("yes")) ? 1.0 : 0.0;
  }
  return 0.0;
}

QString UserDefaults::stringForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  if (v.metaType().id() == QMetaType::QString) return v.toString();
  if (isNumber(v) || v.metaType().id() == QMetaType::Bool) return v.toString();
  return QString();
}

QByteArray UserDefaults::dataForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  return v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

QDateTime UserDefaults::dateForKey(const QString& defaultName) const {
  QVariant v = objectForKey(defaultName);
  return v.metaType().id() == QMetaType::QDateTime ? v.toDateTime() : QDateTime();
}

void UserDefaults::setObject(const QVariant& value, const QString& forKey) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (value.isValid()) {
    settings_->setValue(forKey, value);
  } else {
    settings_->remove(forKey);
  }
  settings_->sync();
}

void UserDefaults::setBool(bool value, const QString& forKey) { setObject(QVariant(value), forKey); }

void UserDefaults::setInteger(qint64 value, const QString& forKey) {
  setObject(QVariant(value), forKey);
}

void UserDefaults::setDouble(double value, const QString& forKey) {
  setObject(QVariant(value), forKey);
}

void UserDefaults::removeObject(const QString& forKey) { setObject(QVariant(), forKey); }

bool UserDefaults::synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}
