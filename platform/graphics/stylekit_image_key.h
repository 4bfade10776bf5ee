#pragma once
// The bytes that tell one drawing from another apart from its size: the drawing function
// and the state arguments it was given, each written exactly (doubles to the bit, colours
// with their spec). Two images with equal keys draw the same pixels at the same size, so a
// rendering of one may stand in for the other.
#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QIODevice>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace stylekit_image_key {

template <typename T>
struct IsOptional : std::false_type {};
template <typename T>
struct IsOptional<std::optional<T>> : std::true_type {
  using Value = T;
};

// Types whose whole value a key can hold. Anything else (a pointer to data, a callback)
// leaves the image without a key, and it is then cached only as itself.
template <typename T>
constexpr bool keyable() {
  using U = std::remove_cvref_t<T>;
  if constexpr (IsOptional<U>::value)
    return keyable<typename IsOptional<U>::Value>();
  else
    return std::is_arithmetic_v<U> || std::is_enum_v<U> || std::is_same_v<U, QColor> ||
           std::is_same_v<U, QString> || std::is_same_v<U, QSizeF> || std::is_same_v<U, QPointF> ||
           std::is_same_v<U, QRectF>;
}

template <typename T>
void write(QDataStream& out, const T& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (IsOptional<U>::value) {
    out << v.has_value();
    if (v) write(out, *v);
  } else if constexpr (std::is_same_v<U, bool>) {
    out << v;
  } else if constexpr (std::is_enum_v<U>) {
    out << static_cast<qint64>(v);
  } else if constexpr (std::is_floating_point_v<U>) {
    out << static_cast<double>(v);  // exact for float and double
  } else if constexpr (std::is_integral_v<U>) {
    out << static_cast<qint64>(v);
  } else {
    out << v;
  }
}

// The key of a drawing function with its arguments, or an empty array when an argument
// cannot be keyed.
template <typename Function, typename... Args>
QByteArray of(Function* function, const Args&... args) {
  if constexpr (!(keyable<Args>() && ...)) {
    return {};
  } else {
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out << static_cast<quint64>(reinterpret_cast<std::uintptr_t>(function));
    (write(out, args), ...);
    return key;
  }
}

}  // namespace stylekit_image_key
