#include "platform/graphics/font.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QMutex>
#include <map>
#include <utility>

static void initFontResource() { Q_INIT_RESOURCE(fonts); }

namespace {

struct FaceData {
  QByteArray bytes;
  int unitsPerEm = 2048;
  int ascender = 0;
  int descender = 0;  // as stored: negative below the baseline
  int lineGap = 0;
};

int16_t s16(const QByteArray& t, int off) {
  if (off < 0 || off + 2 > t.size()) return 0;
  return static_cast<int16_t>((static_cast<uint8_t>(t[off]) << 8) | static_cast<uint8_t>(t[off + 1]));
}

FaceData loadFace(const char* resource) {
  initGraphicsResources();
  FaceData f;
  QFile file(QString::fromLatin1(resource));
  if (file.open(QIODevice::ReadOnly)) f.bytes = file.readAll();
  QRawFont raw(f.bytes, 100, QFont::PreferNoHinting);
  if (raw.isValid()) {
    f.unitsPerEm = static_cast<int>(raw.unitsPerEm());
    const QByteArray hhea = raw.fontTable("hhea");
    f.ascender = s16(hhea, 4);
    f.descender = s16(hhea, 6);
    f.lineGap = s16(hhea, 8);
  }
  if (f.unitsPerEm <= 0) f.unitsPerEm = 2048;
  return f;
}

const FaceData& faceData(FontFace which) {
  static const FaceData regular = loadFace(":/kv/fonts/LiberationSans-Regular.ttf");
  static const FaceData bold = loadFace(":/kv/fonts/LiberationSans-Bold.ttf");
  return which == FontFace::Bold ? bold : regular;
}

}  // namespace

void initGraphicsResources() {
  static const bool done = [] {
    initFontResource();
    return true;
  }();
  (void)done;
}

FontFace Font::faceForName(const QString& name) {
  static const char* const kBold[] = {"Arial-BoldMT", "AvenirNext-DemiBold", "AvenirNext-Bold",
                                      ".SFNS-Bold", ".SFNS-Semibold", "LiberationSans-Bold",
                                      "Helvetica-Bold"};
  for (const char* b : kBold)
    if (name == QLatin1String(b)) return FontFace::Bold;
  return FontFace::Regular;
}

Font Font::fontWithName(const QString& postScriptName, qreal size) {
  return {faceForName(postScriptName), size};
}

qreal Font::ascender() const {
  const FaceData& f = faceData(face_);
  return f.ascender * pointSize_ / f.unitsPerEm;
}

qreal Font::descender() const {
  const FaceData& f = faceData(face_);
  return -f.descender * pointSize_ / f.unitsPerEm;
}

qreal Font::leading() const {
  const FaceData& f = faceData(face_);
  return f.lineGap * pointSize_ / f.unitsPerEm;
}

namespace {
using RawFontCache = std::map<int, QRawFont>;
thread_local RawFontCache tCache;
thread_local bool tCacheHooked = false;
// The GUI thread's faces go with the application, before the font machinery does.
void clearGuiThreadCache() { tCache.clear(); }
}  // namespace

QRawFont Font::rawFont() const {
  RawFontCache& cache = tCache;
  if (!tCacheHooked) {
    tCacheHooked = true;
    if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
      qAddPostRoutine(clearGuiThreadCache);
  }
  const int key = static_cast<int>(face_);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  const FaceData& f = faceData(face_);
  QRawFont raw(f.bytes, f.unitsPerEm, QFont::PreferNoHinting);
  cache.emplace(key, raw);
  return raw;
}

qreal Font::designScale() const { return pointSize_ / faceData(face_).unitsPerEm; }
