#include "platform/property_list.h"

#include <QDateTime>
#include <QFile>
#include <QVariantList>
#include <QVariantMap>

#include <plist/plist.h>

#include <cctype>
#include <cstdlib>
#include <memory>

namespace {

// Seconds from 1970-01-01 to 2001-01-01, the epoch of plist dates.
constexpr qint64 kPlistEpochOffset = 978307200;

struct PlistFree {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

void setError(QString* error, const QString& text) {
  if (error != nullptr) *error = text;
}

// libplist's XML reader recurses once per nested container and a deep enough file
// overflows the stack, so the nesting is measured before it parses. Over-counting
// (a tag inside a comment) only refuses a file, it never lets a deep one through.
bool nestingWithinLimit(const QByteArray& xml) {
  int depth = 0;
  const qsizetype n = xml.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (xml[i] != '<') continue;
    const bool closing = i + 1 < n && xml[i + 1] == '/';
    const qsizetype nameStart = i + (closing ? 2 : 1);
    qsizetype nameEnd = nameStart;
    while (nameEnd < n && std::isalpha(static_cast<unsigned char>(xml[nameEnd]))) ++nameEnd;
    const QByteArray name = xml.mid(nameStart, nameEnd - nameStart);
    if (name != "array" && name != "dict" && name != "plist") continue;
    qsizetype close = xml.indexOf('>', nameEnd);
    if (close < 0) return true;  // malformed; the parser refuses it
    const bool selfClosing = close > 0 && xml[close - 1] == '/';
    if (closing) {
      --depth;
    } else if (!selfClosing && ++depth > kPropertyListMaxDepth + 1) {
      return false;
    }
    i = close;
  }
  return true;
}

bool toVariant(plist_t node, int depth, QVariant* out, QString* error) {
  if (depth > kPropertyListMaxDepth) {
    setError(error, QStringLiteral("property list nested too deeply"));
    return false;
  }
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t v = 0;
      plist_get_bool_val(node, &v);
      *out = v != 0;
      return true;
    }
    case PLIST_UINT: {
      uint64_t v = 0;
      plist_get_uint_val(node, &v);
      *out = static_cast<qint64>(v);  // negative integers come back two's complement
      return true;
    }
    case PLIST_REAL: {
      double v = 0;
      plist_get_real_val(node, &v);
      *out = v;
      return true;
    }
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      *out = QString::fromUtf8(text, static_cast<qsizetype>(length));
      return true;
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      *out = QByteArray(bytes, static_cast<qsizetype>(length));
      return true;
    }
    case PLIST_DATE: {
      int32_t sec = 0;
      int32_t usec = 0;
      plist_get_date_val(node, &sec, &usec);
      qint64 ms = (static_cast<qint64>(sec) + kPlistEpochOffset) * 1000 + usec / 1000;
      *out = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
      return true;
    }
    case PLIST_ARRAY: {
      QVariantList list;
      uint32_t count = plist_array_get_size(node);
      for (uint32_t i = 0; i < count; ++i) {
        QVariant item;
        if (!toVariant(plist_array_get_item(node, i), depth + 1, &item, error)) return false;
        list.append(item);
      }
      *out = list;
      return true;
    }
    case PLIST_DICT: {
      QVariantMap map;
      plist_dict_iter iter = nullptr;
      plist_dict_new_iter(node, &iter);
      bool ok = true;
      for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (value == nullptr) {
          free(key);
          break;
        }
        QVariant item;
        ok = toVariant(value, depth + 1, &item, error);
        if (ok) map.insert(QString::fromUtf8(key), item);
        free(key);
        if (!ok) break;
      }
      free(iter);
      if (!ok) return false;
      *out = map;
      return true;
    }
    default:
      setError(error, QStringLiteral("property list holds an unsupported node type"));
      return false;
  }
}

plist_t fromVariant(const QVariant& value, int depth, QString* error) {
  if (depth > kPropertyListMaxDepth) {
    setError(error, QStringLiteral("value nested too deeply for a property list"));
    return nullptr;
  }
  switch (value.metaType().id()) {
    case QMetaType::Bool:
      return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
      return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
      return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return plist_new_real(value.toDouble());
    case QMetaType::QString: {
      QByteArray utf8 = value.toString().toUtf8();
      return plist_new_string(utf8.constData());
    }
    case QMetaType::QByteArray: {
      QByteArray bytes = value.toByteArray();
      return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::QDateTime: {
      qint64 ms = value.toDateTime().toMSecsSinceEpoch();
      qint64 sec = ms / 1000 - kPlistEpochOffset;
      return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>((ms % 1000) * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
      PlistPtr array(plist_new_array());
      for (const QVariant& item : value.toList()) {
        plist_t node = fromVariant(item, depth + 1, error);
        if (node == nullptr) return nullptr;
        plist_array_append_item(static_cast<plist_t>(array.get()), node);
      }
      return static_cast<plist_t>(array.release());
    }
    case QMetaType::QVariantMap: {
      PlistPtr dict(plist_new_dict());
      const QVariantMap map = value.toMap();
      for (auto it = map.cbegin(); it != map.cend(); ++it) {
        plist_t node = fromVariant(it.value(), depth + 1, error);
        if (node == nullptr) return nullptr;
        plist_dict_set_item(static_cast<plist_t>(dict.get()), it.key().toUtf8().constData(), node);
      }
      return static_cast<plist_t>(dict.release());
    }
    default:
      setError(error, QStringLiteral("a %1 has no property-list type").arg(value.typeName()));
      return nullptr;
  }
}

}  // namespace

QVariant propertyListFromBytes(const QByteArray& bytes, QString* error) {
  if (bytes.isEmpty()) {
    setError(error, QStringLiteral("empty property list"));
    return {};
  }
  if (bytes.size() > kPropertyListMaxBytes) {
    setError(error, QStringLiteral("property list larger than %1 bytes").arg(kPropertyListMaxBytes));
    return {};
  }
  if (bytes.startsWith("bplist")) {
    // Ours are all XML; libplist's binary reader recurses without a bound.
    setError(error, QStringLiteral("binary property lists are not read"));
    return {};
  }
  if (!nestingWithinLimit(bytes)) {
    setError(error, QStringLiteral("property list nested too deeply"));
    return {};
  }
  plist_t root = nullptr;
  plist_from_xml(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
  if (root == nullptr) {
    setError(error, QStringLiteral("not a property list"));
    return {};
  }
  PlistPtr owner(root);
  QVariant out;
  if (!toVariant(root, 0, &out, error)) return {};
  return out;
}

QVariant propertyListFromFile(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    setError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return {};
  }
  if (file.size() > kPropertyListMaxBytes) {
    setError(error, QStringLiteral("%1: larger than %2 bytes").arg(path).arg(kPropertyListMaxBytes));
    return {};
  }
  return propertyListFromBytes(file.read(kPropertyListMaxBytes + 1), error);
}

QByteArray propertyListToXml(const QVariant& value, QString* error) {
  plist_t root = fromVariant(value, 0, error);
  if (root == nullptr) return {};
  PlistPtr owner(root);
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
  if (xml == nullptr) {
    setError(error, QStringLiteral("property list could not be written"));
    return {};
  }
  QByteArray out(xml, static_cast<qsizetype>(length));
  plist_to_xml_free(xml);
  return out;
}
