// Renders every registered icon into PNG pages for review: each icon at 20, 24, 30, 48, 96
// and a stretched 96 x 48 points, at device pixel ratios 1 and 2 (shown pixel for pixel), on
// a dark ground and on a light checkerboard, with a faint outline of the frame.
// Usage: korvalume-iconsheet <output folder> [name filter]
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/text.h"
#include "stylekit/icon_registry.h"

namespace {

const QSizeF kSizes[] = {{20, 20}, {24, 24}, {30, 30}, {48, 48}, {96, 96}, {96, 48}};
const qreal kRatios[] = {1, 2};
constexpr int kPad = 14;
constexpr int kLabel = 22;
constexpr int kIconsPerPage = 4;

int rowWidth() {
  int w = kPad;
  for (qreal r : kRatios)
    for (QSizeF s : kSizes) w += qCeil(s.width() * r) + kPad;
  return w;
}
int rowHeight() { return kLabel + qCeil(96 * 2) + 2 * kPad; }

void label(QPainter& p, const QString& text, QPointF topLeft, const QColor& colour) {
  // The embedded face, so the sheet looks the same on every machine.
  p.save();
  p.translate(topLeft);
  GraphicsContext ctx(p, kLabel);
  TextAttributes a;
  a.font = Font(FontFace::Regular, 12);
  a.foregroundColor = colour;
  drawInRect(ctx, text, QRectF(0, 0, 1000, kLabel - 4), a);
  p.restore();
}

// Light enough to tell a dark shadow, dark enough that white glyphs stay visible.
void checker(QPainter& p, const QRect& r) {
  p.fillRect(r, QColor(212, 212, 212));
  for (int y = r.top(); y < r.bottom(); y += 8)
    for (int x = r.left() + (((y - r.top()) / 8) % 2) * 8; x < r.right(); x += 16)
      p.fillRect(QRect(x, y, 8, 8) & r, QColor(168, 168, 168));
}

void drawRow(QPainter& p, const IconSample& icon, int top, bool dark) {
  const QRect band(0, top, rowWidth(), rowHeight());
  if (dark)
    p.fillRect(band, QColor(48, 48, 48));
  else
    checker(p, band);
  const QColor ink = dark ? QColor(230, 230, 230) : QColor(30, 30, 30);
  label(p, icon.name + (dark ? QStringLiteral("  on dark") : QStringLiteral("  on light")) +
               QStringLiteral("   20 24 30 48 96 96x48 at 1x, then at 2x"),
        QPointF(kPad, top + 4), ink);
  int x = kPad;
  const int y0 = top + kLabel + kPad;
  for (qreal ratio : kRatios) {
    for (QSizeF size : kSizes) {
      QImage img = icon.image(size).render(ratio);
      img.setDevicePixelRatio(1);  // pixel for pixel
      p.drawImage(QPoint(x, y0), img);
      p.setPen(QColor(dark ? 255 : 0, dark ? 255 : 0, dark ? 255 : 0, 50));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(x - 0.5, y0 - 0.5, img.width() + 1, img.height() + 1));
      x += img.width() + kPad;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const QString filter = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  if (!QDir().mkpath(outDir)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
    return 1;
  }
  std::vector<const IconSample*> icons;
  for (const IconSample& s : iconRegistry())
    if (filter.isEmpty() || s.name.contains(filter, Qt::CaseInsensitive)) icons.push_back(&s);
  if (icons.empty()) {
    std::fprintf(stderr, "no icon matches\n");
    return 1;
  }
  int page = 0;
  for (size_t first = 0; first < icons.size(); first += kIconsPerPage) {
    const size_t count = std::min<size_t>(kIconsPerPage, icons.size() - first);
    QImage sheet(rowWidth(), static_cast<int>(count) * 2 * rowHeight(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (size_t i = 0; i < count; ++i) {
      const int top = static_cast<int>(i) * 2 * rowHeight();
      drawRow(p, *icons[first + i], top, true);
      drawRow(p, *icons[first + i], top + rowHeight(), false);
    }
    p.end();
    const QString file = QDir(outDir).filePath(QStringLiteral("iconsheet-%1.png").arg(++page, 2, 10, QChar('0')));
    if (!sheet.save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
    std::printf("%s\n", qPrintable(file));
  }
  return 0;
}
