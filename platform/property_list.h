#pragma once
// XML property lists to and from QVariant: dict -> QVariantMap, array -> QVariantList,
// string -> QString, integer -> qint64, real -> double, bool -> bool, data -> QByteArray,
// date -> QDateTime (UTC). Binary property lists are refused.
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstddef>

// Larger inputs are refused before parsing; deeper nesting is refused.
constexpr qsizetype kPropertyListMaxBytes = 16 * 1024 * 1024;
constexpr int kPropertyListMaxDepth = 32;

// The parsed root, or an invalid QVariant with *error set.
QVariant propertyListFromBytes(const QByteArray& bytes, QString* error = nullptr);
QVariant propertyListFromFile(const QString& path, QString* error = nullptr);

// An XML property list of value; empty with *error set when a value has no plist type.
QByteArray propertyListToXml(const QVariant& value, QString* error = nullptr);
