#pragma once
// Rendered style-kit images, kept so that a view painting the same icon again does not run
// its drawing (blurred shadows included) again. One cache for the process, bounded in
// bytes, least recently used out first. Safe from any thread: lookups and inserts take a
// mutex; renders run outside it.
#include <QByteArray>
#include <QImage>
#include <QtGlobal>
#include <functional>

namespace stylekit_image_cache {

struct Stats {
  quint64 hits = 0;
  quint64 misses = 0;
  qsizetype entries = 0;
  qsizetype bytes = 0;
};

// The cached image for `key`, or the result of `render`, kept when it fits the limit.
QImage lookupOrRender(const QByteArray& key, const std::function<QImage()>& render);

Stats stats();
// Bytes the cache may hold; 0 turns it off. Lowering it evicts at once.
void setLimit(qsizetype bytes);
qsizetype limit();
// Drops every image and zeroes the counters.
void clear();

constexpr qsizetype kDefaultLimit = 16 * 1024 * 1024;

}  // namespace stylekit_image_cache
