#include "stylekit/prop_movie_af_area_icons.h"

#include <QString>
#include <array>

#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_icon_paths.h"
#include "stylekit/property_icon_painter.h"

namespace {

// The tall bracket pair that frames the whole picture; rounded corners, square arm tips.
BezierPath outerBrackets(const PropertyIconPainter& icon) {
  FracPath p(icon);
  p.move(1, 0.79333).line(1, 0.19333).corner(0.96667, 0.16, 1, 0.16).line(0.80667, 0.16).line(0.80667, 0.22667);
  p.line(0.90667, 0.22667).corner(0.94, 0.26, 0.94, 0.22667).line(0.94, 0.72667).corner(0.90667, 0.76, 0.94, 0.76);
  p.line(0.80667, 0.76).line(0.80667, 0.82667).line(0.96667, 0.82667).corner(1, 0.79333, 1, 0.82667).close();
  p.move(0.20667, 0.76).line(0.10667, 0.76).corner(0.07333, 0.72667, 0.07333, 0.76).line(0.07333, 0.26);
  p.corner(0.10667, 0.22667, 0.07333, 0.22667).line(0.20667, 0.22667).line(0.20667, 0.16).line(0.03333, 0.16);
  p.corner(0, 0.19333, 0, 0.16).line(0, 0.79333).corner(0.03333, 0.82667, 0, 0.82667).line(0.20667, 0.82667);
  p.line(0.20667, 0.76).close();
  return p;
}

struct PairEdges {
  qreal rightXo, rightXi, leftXo, leftXi, xtRight, xtLeft, y0, y1, y2, y3;
};

// A square-cornered bracket pair: right subpath, then left subpath.
BezierPath bracketPair(const PropertyIconPainter& icon, const PairEdges& e) {
  FracPath p(icon);
  p.polygon({{e.rightXo, e.y3}, {e.rightXo, e.y0}, {e.xtRight, e.y0}, {e.xtRight, e.y1}, {e.rightXi, e.y1},
             {e.rightXi, e.y2}, {e.xtRight, e.y2}, {e.xtRight, e.y3}});
  p.polygon({{e.xtLeft, e.y2}, {e.leftXi, e.y2}, {e.leftXi, e.y1}, {e.xtLeft, e.y1}, {e.xtLeft, e.y0},
             {e.leftXo, e.y0}, {e.leftXo, e.y3}, {e.xtLeft, e.y3}});
  return p;
}

constexpr PairEdges kLargePair{0.97333, 0.9, 0.04, 0.10667, 0.74, 0.27333, 0.42667, 0.5, 0.82667, 0.89333};
constexpr PairEdges kSmallPair{0.84667, 0.78485, 0.16667, 0.22848, 0.74, 0.27333, 0.54667, 0.60667, 0.72667, 0.78};

// "Wide-" as outlines moved right by dx: W and i exact, d and e fitted to their boxes.
void appendWide(FracPath& text, const PropertyIconPainter& icon, qreal dx) {
  text.polygon({{0.05426, 0.29517}, {0.08305, 0.29517}, {0.11229, 0.17141}, {0.11274, 0.17141}, {0.14538, 0.29517},
                {0.17439, 0.29517}, {0.20613, 0.17141}, {0.20658, 0.17141}, {0.23673, 0.29517}, {0.26551, 0.29517},
                {0.22086, 0.13333}, {0.19207, 0.13333}, {0.15966, 0.25709}, {0.15921, 0.25709}, {0.12611, 0.13333},
                {0.09687, 0.13333}},
               {dx, 0});
  text.rect(0.28115 + dx, 0.27069, 0.30699 + dx, 0.29517, true);
  text.rect(0.28115 + dx, 0.13333, 0.30699 + dx, 0.25052, true);
  text.append(letterInBox(icon, QStringLiteral("d"), 0.32943 + dx, 0.13016, 0.44549 + dx, 0.29517));
  text.append(letterInBox(icon, QStringLiteral("e"), 0.46793 + dx, 0.13016, 0.5799 + dx, 0.25369));
  text.rect(0.66014 + dx, 0.18275, 0.7261 + dx, 0.20723, true);
}

}  // namespace

void KorvalumePropertiesMovieAfAreaIcons::drawNikon_MovieAfArea_SingleWithFrame(GraphicsContext& ctx,
                                                                                QRectF frame, double r, double g,
                                                                                double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(outerBrackets(icon));
  constexpr qreal y0 = 0.32667, y1 = 0.42923, y2 = 0.55744, y3 = 0.66;
  for (const auto& [xo, xi, xt] : {std::array{0.73333, 0.64, 0.57333}, std::array{0.28, 0.37333, 0.44}}) {
    FracPath piece(icon);
    piece.polygon({{xt, y3}, {xo, y3}, {xo, y0}, {xt, y0}, {xt, y1}, {xi, y1}, {xi, y2}, {xt, y2}});
    icon.fill(piece);
  }
}

void KorvalumePropertiesMovieAfAreaIcons::drawNikon_MovieAfArea_AutoWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                              double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(outerBrackets(icon));
  icon.fill(icon.rectangle(0.14, 0.29333, 0.87333, 0.69333));
}

void KorvalumePropertiesMovieAfAreaIcons::drawNikon_MovieAfArea_WideSWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                               double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  FracPath text(icon);
  appendWide(text, icon, 0);
  text.append(letterInBox(icon, QStringLiteral("S"), 0.8077, 0.12948, 0.93962, 0.29903));
  icon.fill(text);
  icon.fill(bracketPair(icon, kLargePair));
  icon.fill(bracketPair(icon, kSmallPair));
}

void KorvalumePropertiesMovieAfAreaIcons::drawNikon_MovieAfArea_WideLWithFrame(GraphicsContext& ctx, QRectF frame,
                                                                               double r, double g, double b) {
  PropertyIconPainter icon(ctx, frame, r, g, b);
  icon.fill(bracketPair(icon, kLargePair));
  icon.fill(bracketPair(icon, kSmallPair));
  FracPath text(icon);
  appendWide(text, icon, 0.00839);
  text.polygon({{0.82583, 0.29517}, {0.85417, 0.29517}, {0.85417, 0.15781}, {0.93645, 0.15781}, {0.93645, 0.13333},
                {0.82583, 0.13333}});
  icon.fill(text);
}

#define KV_MOVIE_AF_IMAGE(Name)                                                                            \
  StyleKitImage KorvalumePropertiesMovieAfAreaIcons::imageOfNikon_MovieAfArea_##Name##WithSize(            \
      QSizeF size, double r, double g, double b) {                                                         \
    return imageOfDrawMethod(size, &drawNikon_MovieAfArea_##Name##WithFrame, r, g, b);                    \
  }

KV_MOVIE_AF_IMAGE(Single)
KV_MOVIE_AF_IMAGE(Auto)
KV_MOVIE_AF_IMAGE(WideS)
KV_MOVIE_AF_IMAGE(WideL)
#undef KV_MOVIE_AF_IMAGE

void registerPropMovieAfAreaIcons(std::vector<IconSample>& out) {
  using K = KorvalumePropertiesMovieAfAreaIcons;
#define KV_SAMPLE(Name)                                                            \
  out.push_back({QStringLiteral("imageOfNikon_MovieAfArea_" #Name "WithSize:r:g:b:"), \
                 [](QSizeF s) { return K::imageOfNikon_MovieAfArea_##Name##WithSize(s, 1, 1, 1); }})
  KV_SAMPLE(Single);
  KV_SAMPLE(Auto);
  KV_SAMPLE(WideS);
  KV_SAMPLE(WideL);
#undef KV_SAMPLE
}
