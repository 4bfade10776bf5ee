#pragma once
// Checks shared by the property icon families' tests: where an icon paints, whether it
// stays in its frame, and whether its shadow shows.
#include <gtest/gtest.h>

#include <QImage>
#include <QRectF>
#include <functional>
#include <initializer_list>

#include "tests/stylekit/stylekit_test_support.h"

namespace propicon {

using ShadowDraw = void (*)(GraphicsContext&, QRectF, double, double, bool, double);

// The icon drawn into `frame` on a transparent canvas of the given size.
inline QImage paint(ShadowDraw draw, QRectF frame, QSizeF canvas, qreal dpr, bool showShadow = false, double r = 1,
                    double g = 1, double b = 1) {
  return sktest::draw(canvas.width(), canvas.height(), dpr,
                      [&](GraphicsContext& ctx) { draw(ctx, frame, r, g, showShadow, b); });
}

// The extent of pixels passing `pass` inside `window` (points, y up).
inline sktest::Extent extentIn(const QImage& img, const QRectF& window, const std::function<bool(QColor)>& pass) {
  sktest::Extent e;
  const qreal dpr = img.devicePixelRatio();
  const qreal wb = window.y(), wt = window.y() + window.height();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const qreal l = x / dpr, r = (x + 1) / dpr;
      const qreal b = (img.height() - y - 1) / dpr, t = (img.height() - y) / dpr;
      if (l < window.left() || r > window.right() || b < wb || t > wt) continue;
      if (!pass(img.pixelColor(x, y))) continue;
      e.left = std::min(e.left, l);
      e.right = std::max(e.right, r);
      e.bottom = std::min(e.bottom, b);
      e.top = std::max(e.top, t);
    }
  return e;
}

inline bool opaque(QColor c) { return c.alpha() > 127; }
inline bool inked(QColor c) { return c.alpha() > 0; }
// A pixel of shadow alone: dark and at most the shadow's 75 per cent.
inline bool shadowOnly(QColor c) { return c.alpha() > 100 && c.alpha() <= 192 && c.red() < 40; }
// A pixel that is anything but the white icon colour.
inline bool notWhite(QColor c) { return c.alpha() > 0 && (c.red() < 250 || c.green() < 250 || c.blue() < 250); }

// Without the shadow the icon paints only its colour and stays inside its frame; with it a
// hard shadow shows, at most one point right of and below the frame.
inline void expectInFrameWithShadowOnlyWhenAsked(ShadowDraw draw, const QString& name) {
  for (QRectF frame : {QRectF(6, 6, 20, 20), QRectF(10, 20, 96, 48)}) {
    const QSizeF canvas(frame.right() + 8, frame.y() + frame.height() + 8);
    const QImage off = paint(draw, frame, canvas, 2, false);
    const sktest::Extent ink = sktest::extent(off, inked);
    ASSERT_FALSE(ink.empty()) << name.toStdString();
    EXPECT_GE(ink.left, frame.left()) << name.toStdString();
    EXPECT_LE(ink.right, frame.right()) << name.toStdString();
    EXPECT_GE(ink.bottom, frame.y()) << name.toStdString();
    EXPECT_LE(ink.top, frame.y() + frame.height()) << name.toStdString();
    EXPECT_TRUE(sktest::extent(off, notWhite).empty()) << name.toStdString();
    const QImage on = paint(draw, frame, canvas, 2, true);
    const sktest::Extent shade = sktest::extent(on, shadowOnly);
    ASSERT_FALSE(shade.empty()) << name.toStdString();
    EXPECT_GE(shade.left, frame.left() + 1) << name.toStdString();
    EXPECT_LE(shade.right, frame.right() + 1) << name.toStdString();
    EXPECT_GE(shade.bottom, frame.y() - 1) << name.toStdString();
  }
  // The shadow form leaves the context's fill colour and shadow as it found them.
  sktest::draw(30, 30, 1, [&](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::green);
    draw(ctx, QRectF(0, 0, 30, 30), 1, 0, true, 0);
    EXPECT_EQ(ctx.fillColor(), QColor(Qt::green)) << name.toStdString();
    EXPECT_FALSE(ctx.shadow().has_value()) << name.toStdString();
  });
  // A frame without width or height collapses every shape: nothing shows, shadow or not.
  for (QRectF empty : {QRectF(3, 3, 0, 0), QRectF(3, 3, 0, 20), QRectF(3, 3, 20, 0)})
    EXPECT_TRUE(sktest::extent(paint(draw, empty, QSizeF(26, 26), 2, true), inked).empty()) << name.toStdString();
}

// The painted (alpha over 200) or bare (alpha under 55) state at frame fractions.
struct Probe {
  qreal x, y;
  bool painted;
};
inline void expectProbes(ShadowDraw draw, qreal size, std::initializer_list<Probe> probes, const QString& name) {
  const QImage img = paint(draw, QRectF(0, 0, size, size), QSizeF(size, size), 1);
  for (const Probe& p : probes) {
    const int a = sktest::at(img, p.x * size, p.y * size).alpha();
    if (p.painted)
      EXPECT_GT(a, 200) << name.toStdString() << " at " << p.x << ", " << p.y;
    else
      EXPECT_LT(a, 55) << name.toStdString() << " at " << p.x << ", " << p.y;
  }
}

}  // namespace propicon
