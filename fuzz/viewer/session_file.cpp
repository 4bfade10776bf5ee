// Arbitrary bytes taken as a session file: parsed as a property list, each element of an
// array root turned into the record it names.
#include <QByteArray>
#include <QVariant>

#include "fuzz/fuzz_target.h"
#include "platform/property_list.h"
#include "viewer/session/session_list.h"

KV_FUZZ_TARGET(session_file) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QVariant root = propertyListFromBytes(bytes);
  if (root.typeId() != QMetaType::QVariantList) return 0;
  for (const QVariant& element : root.toList()) {
    if (auto record = sessionRecordForElement(element)) {
      volatile uint32_t sink = record->objectId;
      (void)sink;
    }
  }
  return 0;
}
