#include "platform/graphics/stylekit_image_cache.h"

#include <QHash>
#include <list>
#include <mutex>
#include <utility>

namespace stylekit_image_cache {
namespace {

struct Entry {
  QByteArray key;
  QImage image;
};

struct Cache {
  std::mutex mutex;
  std::list<Entry> order;  // most recently used first
  QHash<QByteArray, std::list<Entry>::iterator> index;
  qsizetype bytes = 0;
  qsizetype limit = kDefaultLimit;
  quint64 hits = 0, misses = 0;

  void evictTo(qsizetype budget) {
    while (bytes > budget && !order.empty()) {
      bytes -= order.back().image.sizeInBytes();
      index.remove(order.back().key);
      order.pop_back();
    }
  }
};

Cache& cache() {
  static Cache* c = new Cache;  // never destroyed: images may be drawn during exit
  return *c;
}

}  // namespace

QImage lookupOrRender(const QByteArray& key, const std::function<QImage()>& render) {
  Cache& c = cache();
  {
    std::lock_guard lock(c.mutex);
    if (auto it = c.index.find(key); it != c.index.end()) {
      c.order.splice(c.order.begin(), c.order, it.value());
      ++c.hits;
      return it.value()->image;
    }
    ++c.misses;
  }
  QImage img = render();
  const qsizetype size = img.sizeInBytes();
  std::lock_guard lock(c.mutex);
  if (img.isNull() || size > c.limit || c.index.contains(key)) return img;
  c.order.push_front(Entry{key, img});
  c.index.insert(key, c.order.begin());
  c.bytes += size;
  c.evictTo(c.limit);
  return img;
}

Stats stats() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return {c.hits, c.misses, c.index.size(), c.bytes};
}

void setLimit(qsizetype bytes) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  c.limit = std::max<qsizetype>(0, bytes);
  c.evictTo(c.limit);
}

qsizetype limit() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return c.limit;
}

void clear() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  c.order.clear();
  c.index.clear();
  c.bytes = 0;
  c.hits = c.misses = 0;
}

}  // namespace stylekit_image_cache
