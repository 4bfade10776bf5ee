#include "platform/graphics/text.h"

#include <QTransform>
#include <cmath>
#include <vector>

#include "platform/graphics/graphics_context.h"

namespace {

// The platform's default tab interval.
constexpr qreal kTabInterval = 28;

struct Line {
  std::vector<quint32> glyphs;
  std::vector<qreal> x;  // pen position of each glyph from the line's start
  qreal width = 0;       // without trailing white space
};

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x00A0 || c == 0x3000; }

std::vector<Line> layout(const QString& text, const Font& font, qreal maxWidth) {
  std::vector<Line> lines;
  if (text.isEmpty()) return lines;
  const QRawFont raw = font.rawFont();
  const qreal k = font.designScale();
  const bool bounded = maxWidth > 0 && std::isfinite(maxWidth);
  QString norm = text;
  norm.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  norm.replace(QChar('\r'), QChar('\n'));
  norm.replace(QChar(0x2029), QChar('\n'));
  norm.replace(QChar(0x2028), QChar('\n'));
  const QStringList paragraphs = norm.split(QChar('\n'));
  for (const QString& para : paragraphs) {
    const QList<uint> cps = para.toUcs4();
    const int n = static_cast<int>(cps.size());
    QList<quint32> glyphs(n);
    for (int i = 0; i < n; ++i) {
      const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cps[i]), 1);
      QList<quint32> g = raw.glyphIndexesForString(one);
      glyphs[i] = g.isEmpty() ? 0 : g.first();
    }
    QList<QPointF> adv = raw.advancesForGlyphIndexes(
        glyphs, QRawFont::LayoutFlags(QRawFont::KernedAdvances | QRawFont::UseDesignMetrics));
    auto advanceAt = [&](int i, qreal x) {
      if (cps[i] == U'\t') return (std::floor(x / kTabInterval + 1e-9) + 1) * kTabInterval - x;
      return i < adv.size() ? adv[i].x() * k : 0.0;
    };
    int start = 0;
    do {
      int end = n;
      qreal x = 0;
      int lastBreak = -1;
      for (int i = start; i < n; ++i) {
        const qreal a = advanceAt(i, x);
        if (bounded && !isSpace(cps[i]) && i > start && x + a > maxWidth + 1e-6) {
          end = lastBreak > start ? lastBreak : i;
          break;
        }
        x += a;
        if (isSpace(cps[i])) lastBreak = i + 1;
      }
      Line line;
      qreal pen = 0;
      for (int i = start; i < end; ++i) {
        line.glyphs.push_back(glyphs[i]);
        line.x.push_back(pen);
        pen += advanceAt(i, pen);
        if (!isSpace(cps[i])) line.width = pen;
      }
      lines.push_back(std::move(line));
      start = end;
    } while (start < n);
  }
  return lines;
}

}  // namespace

QRectF boundingRectWithSize(const QString& text, QSizeF size, const TextAttributes& attributes) {
  const std::vector<Line> lines = layout(text, attributes.font, size.width());
  qreal w = 0;
  for (const Line& l : lines) w = std::max(w, l.width);
  return {0, 0, w, lines.size() * attributes.font.lineHeight()};
}

QSizeF sizeWithAttributes(const QString& text, const TextAttributes& attributes) {
  return boundingRectWithSize(text, QSizeF(0, 0), attributes).size();
}

void drawInRect(GraphicsContext& ctx, const QString& text, const QRectF& rect,
                const TextAttributes& attributes) {
  const Font& font = attributes.font;
  const std::vector<Line> lines = layout(text, font, rect.width());
  if (lines.empty()) return;
  const QRawFont raw = font.rawFont();
  const qreal k = font.designScale();
  QPainterPath all;
  all.setFillRule(Qt::WindingFill);
  qreal baseline = rect.y() + rect.height() - font.ascender();
  for (const Line& line : lines) {
    qreal x0 = rect.x();
    if (attributes.alignment == TextAlignment::Center) x0 += (rect.width() - line.width) / 2;
    if (attributes.alignment == TextAlignment::Right) x0 += rect.width() - line.width;
    for (size_t i = 0; i < line.glyphs.size(); ++i) {
      const QPainterPath g = raw.pathForGlyph(line.glyphs[i]);
      if (g.isEmpty()) continue;
      all.addPath(QTransform(k, 0, 0, -k, x0 + line.x[i], baseline).map(g));
    }
    baseline -= font.lineHeight();
  }
  ctx.fillWithBrush(all, QBrush(attributes.foregroundColor));
}

BezierPath glyphOutlines(const QString& text, const Font& font, QPointF origin) {
  const std::vector<Line> lines = layout(text, font, 0);
  const QRawFont raw = font.rawFont();
  const qreal k = font.designScale();
  QPainterPath all;
  qreal baseline = origin.y();
  for (const Line& line : lines) {
    for (size_t i = 0; i < line.glyphs.size(); ++i) {
      const QPainterPath g = raw.pathForGlyph(line.glyphs[i]);
      all.addPath(QTransform(k, 0, 0, -k, origin.x() + line.x[i], baseline).map(g));
    }
    baseline -= font.lineHeight();
  }
  return BezierPath::fromQPainterPath(all);
}

BezierPath glyphOutlinesFittedToBox(const QString& text, FontFace face, const QRectF& box) {
  BezierPath p = glyphOutlines(text, Font(face, 100), QPointF(0, 0));
  const QRectF b = p.bounds();
  if (b.width() <= 0 || b.height() <= 0) return BezierPath();
  QTransform t = QTransform::fromTranslate(-b.x(), -b.y()) *
                 QTransform::fromScale(box.width() / b.width(), box.height() / b.height()) *
                 QTransform::fromTranslate(box.x(), box.y());
  p.transform(t);
  return p;
}
