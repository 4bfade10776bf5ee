#include "platform/bundle.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

#include <mutex>

// Outside any namespace: the macro declares a function of the global namespace.
static void initPlatformResources() { Q_INIT_RESOURCE(platform_resources); }

namespace {

constexpr const char* kStringTablePath = ":/strings/Localizable.json";
// The table is ours, but a runaway file should not be read whole.
constexpr qint64 kStringTableMaxBytes = 4 * 1024 * 1024;

QHash<QString, QString> loadStringTable() {
  QHash<QString, QString> table;
  QFile file(QString::fromLatin1(kStringTablePath));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kStringTableMaxBytes) {
    qWarning("Bundle: string table %s missing or too large", kStringTablePath);
    return table;
  }
  QJsonParseError error{};
  QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
  if (!doc.isObject()) {
    qWarning("Bundle: string table unreadable: %s", qPrintable(error.errorString()));
    return table;
  }
  const QJsonObject object = doc.object();
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (it.value().isString()) table.insert(it.key(), it.value().toString());
  }
  return table;
}

const QHash<QString, QString>& stringTable() {
  static const QHash<QString, QString> table = [] {
    Bundle::init();
    return loadStringTable();
  }();
  return table;
}

}  // namespace

void Bundle::init() {
  static std::once_flag once;
  std::call_once(once, initPlatformResources);
}

QString Bundle::pathForResource(const QString& name, const QString& type) {
  init();
  if (name.isEmpty() || name.contains(QLatin1String(".."))) return QString();
  QString path = QStringLiteral(":/") + name;
  if (!type.isEmpty()) path += QLatin1Char('.') + type;
  return QFile::exists(path) ? path : QString();
}

QString Bundle::localizedString(const QString& key, const QString& value) {
  const auto& table = stringTable();
  auto it = table.constFind(key);
  if (it != table.constEnd()) return it.value();
  return value.isEmpty() ? key : value;
}

int Bundle::localizedStringCount() { return static_cast<int>(stringTable().size()); }
