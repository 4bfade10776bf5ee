#include "ui/widgets/popover/popover_geometry.h"

#include "platform/graphics/arcs.h"

namespace {

QRectF inset(const QRectF& r, qreal d) { return QRectF(r.x() + d, r.y() + d, r.width() - 2 * d, r.height() - 2 * d); }
qreal maxX(const QRectF& r) { return r.x() + r.width(); }
qreal maxY(const QRectF& r) { return r.y() + r.height(); }
qreal midX(const QRectF& r) { return r.x() + r.width() / 2; }
qreal midY(const QRectF& r) { return r.y() + r.height() / 2; }

// Takes off (sign -1) or adds (+1) the arrow space k of `position` to a size.
void arrowSpace(QRectF& f, PopoverPosition position, qreal k, int sign) {
  switch (arrowSideForPosition(position)) {
    case ArrowSide::Right:
    case ArrowSide::Left: f.setWidth(f.width() + sign * k); break;
    case ArrowSide::Top:
    case ArrowSide::Bottom: f.setHeight(f.height() + sign * k); break;
    case ArrowSide::None: break;
  }
}

}  // namespace

ArrowSide arrowSideForPosition(PopoverPosition p) {
  switch (p) {
    case 0: case 4: case 5: return ArrowSide::Right;
    case 1: case 10: case 11: return ArrowSide::Top;
    case 2: case 6: case 7: return ArrowSide::Left;
    case 3: case 8: case 9: return ArrowSide::Bottom;
    default: return ArrowSide::None;
  }
}

QRectF popoverContentRectForFrameRect(const PopoverFrameStyle& s, const QRectF& frame) {
  QRectF r = inset(frame, s.borderWidth);
  const qreal k = s.arrowHeight + s.distance;
  switch (arrowSideForPosition(s.popoverPosition)) {
    case ArrowSide::Right: r.setWidth(r.width() - k); break;
    case ArrowSide::Left: r = QRectF(r.x() + k, r.y(), r.width() - k, r.height()); break;
    case ArrowSide::Bottom: r = QRectF(r.x(), r.y() + k, r.width(), r.height() - k); break;
    case ArrowSide::Top: r.setHeight(r.height() - k); break;
    case ArrowSide::None: break;
  }
  return inset(r, s.viewMargin);
}

QRectF popoverFrameRectForContentRect(const PopoverFrameStyle& s, const QRectF& content) {
  QRectF r = inset(content, -s.viewMargin);
  const qreal k = s.arrowHeight + s.distance;
  switch (arrowSideForPosition(s.popoverPosition)) {
    case ArrowSide::Right: r.setWidth(r.width() + k); break;
    case ArrowSide::Left: r = QRectF(r.x() - k, r.y(), r.width() + k, r.height()); break;
    case ArrowSide::Bottom: r = QRectF(r.x(), r.y() - k, r.width(), r.height() + k); break;
    case ArrowSide::Top: r.setHeight(r.height() + k); break;
    case ArrowSide::None: break;
  }
  return inset(r, -s.borderWidth);
}

QPointF popoverAttachmentPointForRect(const PopoverFrameStyle& s, const QRectF& r) {
  qreal c = 2 * s.borderWidth + s.arrowHeight / 2;
  if (s.drawRoundCornerBesideArrow) c += s.cornerRadius;
  switch (s.popoverPosition) {
    case 0: return {maxX(r), midY(r)};
    case 1: return {midX(r), maxY(r)};
    case 2: return {r.x(), midY(r)};
    case 3: return {midX(r), r.y()};
    case 4: return {maxX(r), r.y() + c};
    case 5: return {maxX(r), maxY(r) - c};
    case 6: return {r.x(), r.y() + c};
    case 7: return {r.x(), maxY(r) - c};
    case 8: return {maxX(r) - c, r.y()};
    case 9: return {r.x() + c, r.y()};
    case 10: return {maxX(r) - c, maxY(r)};
    case 11: return {r.x() + c, maxY(r)};
    default: return {0, 0};
  }
}

void appendPopoverArrow(const PopoverFrameStyle& s, BezierPath& path, QPointF cur) {
  if (!s.drawsArrow) return;
  const qreal x = cur.x(), y = cur.y(), aw = s.arrowWidth, ah = s.arrowHeight;
  QPointF tip(x, y), end(x, y);
  switch (arrowSideForPosition(s.popoverPosition)) {
    case ArrowSide::Right: tip = {x + ah, y - aw / 2}; end = {x, y - aw}; break;
    case ArrowSide::Top: tip = {x + aw / 2, y + ah}; end = {x + aw, y}; break;
    case ArrowSide::Left: tip = {x - ah, y + aw / 2}; end = {x, y + aw}; break;
    case ArrowSide::Bottom: tip = {x - aw / 2, y - ah}; end = {x - aw, y}; break;
    case ArrowSide::None: break;
  }
  path.lineToPoint(tip);
  path.lineToPoint(end);
}

BezierPath popoverFramePathForContentRect(const PopoverFrameStyle& s, const QRectF& content) {
  const QRectF R = inset(inset(content, -s.viewMargin), -s.borderWidth / 2);
  const qreal minX = R.x(), minY = R.y(), mxX = maxX(R), mxY = maxY(R), mdX = midX(R), mdY = midY(R);
  const qreal cr = s.cornerRadius, aw = s.arrowWidth;
  const unsigned p = s.popoverPosition;
  auto rounded = [&](unsigned a, unsigned b) { return cr > 0 && (s.drawRoundCornerBesideArrow || (p != a && p != b)); };
  const bool topLeft = rounded(7, 11), topRight = rounded(5, 10), bottomRight = rounded(4, 8),
             bottomLeft = rounded(6, 9);
  BezierPath path;
  path.setLineJoinStyle(LineJoin::Round);
  QPointF cur(topLeft ? minX + cr : minX, mxY);
  path.moveToPoint(cur);
  auto line = [&](QPointF q) {
    path.lineToPoint(q);
    cur = q;
  };
  auto arrow = [&] {
    appendPopoverArrow(s, path, cur);
    cur = path.qpath().currentPosition();
  };
  auto arc = [&](QPointF corner, QPointF to) {
    appendArcFromPointToPoint(path, corner, to, cr);
    cur = path.qpath().currentPosition();
  };
  // Top edge.
  const qreal xR = topRight ? mxX - cr : mxX;
  if (p == 11) arrow();
  if (p == 1) { line({mdX - aw / 2, mxY}); arrow(); }
  if (p == 10) { line({xR - aw, mxY}); arrow(); }
  line({xR, mxY});
  if (topRight) arc({mxX, mxY}, {mxX, mxY - cr});
  // Right edge.
  const qreal yB = bottomRight ? minY + cr : minY;
  if (p == 5) arrow();
  if (p == 0) { line({mxX, mdY + aw / 2}); arrow(); }
  if (p == 4) { line({mxX, yB + aw}); arrow(); }
  line({mxX, yB});
  if (bottomRight) arc({mxX, minY}, {mxX - cr, minY});
  // Bottom edge.
  const qreal xL = bottomLeft ? minX + cr : minX;
  if (p == 8) arrow();
  if (p == 3) { line({mdX + aw / 2, minY}); arrow(); }
  if (p == 9) { line({xL + aw, minY}); arrow(); }
  line({xL, minY});
  if (bottomLeft) arc({minX, minY}, {minX, minY + cr});
  // Left edge.
  const qreal yT = topLeft ? mxY - cr : mxY;
  if (p == 6) arrow();
  if (p == 2) { line({minX, mdY - aw / 2}); arrow(); }
  if (p == 7) { line({minX, yT - aw}); arrow(); }
  line({minX, yT});
  if (topLeft) arc({minX, mxY}, {minX + cr, mxY});
  path.closePath();
  return path;
}

PopoverWindowLayout popoverRelayoutForPosition(PopoverFrameStyle& s, const QRectF& frame, PopoverPosition position) {
  QRectF F = frame;
  if (position == s.popoverPosition) return {F, popoverContentRectForFrameRect(s, QRectF(QPointF(0, 0), F.size()))};
  const QPointF a0 = popoverAttachmentPointForRect(s, QRectF(QPointF(0, 0), F.size()));
  const qreal k = s.arrowHeight + s.distance;
  arrowSpace(F, s.popoverPosition, k, -1);
  s.popoverPosition = position;
  arrowSpace(F, position, k, +1);
  const QPointF a1 = popoverAttachmentPointForRect(s, QRectF(QPointF(0, 0), F.size()));
  const QRectF content = popoverContentRectForFrameRect(s, QRectF(QPointF(0, 0), F.size()));
  F.translate(a0 - a1);
  return {F, content};
}

PopoverWindowLayout popoverRelayoutForArrowSpace(PopoverFrameStyle& s, const QRectF& frame, ArrowSpaceSetting which,
                                                 qreal value) {
  qreal& field = which == ArrowSpaceSetting::Distance ? s.distance : s.arrowHeight;
  QRectF F = frame;
  QRectF N = popoverContentRectForFrameRect(s, QRectF(QPointF(0, 0), F.size()));
  const qreal d = value - field;
  if (d == 0) return {F, N};
  switch (arrowSideForPosition(s.popoverPosition)) {
    case ArrowSide::Right: F = QRectF(F.x() - d, F.y(), F.width() + d, F.height()); break;
    case ArrowSide::Top: F = QRectF(F.x(), F.y() - d, F.width(), F.height() + d); break;
    case ArrowSide::Left: F.setWidth(F.width() + d); N.translate(d, 0); break;
    case ArrowSide::Bottom: F.setHeight(F.height() + d); N.translate(0, d); break;
    case ArrowSide::None: break;
  }
  field = value;
  return {F, N};
}

PopoverWindowLayout popoverRelayoutForAllRound(PopoverFrameStyle& s, const QRectF& frame, AllRoundSetting which,
                                               qreal value) {
  qreal& field = which == AllRoundSetting::BorderWidth ? s.borderWidth : s.viewMargin;
  const qreal d = value - field;
  if (d == 0) return {frame, popoverContentRectForFrameRect(s, QRectF(QPointF(0, 0), frame.size()))};
  QRectF R = inset(frame, -d);
  switch (arrowSideForPosition(s.popoverPosition)) {
    case ArrowSide::Right: R.translate(-d, 0); break;
    case ArrowSide::Top: R.translate(0, -d); break;
    case ArrowSide::Left: R.translate(d, 0); break;
    case ArrowSide::Bottom: R.translate(0, d); break;
    case ArrowSide::None: break;
  }
  field = value;
  return {R, popoverContentRectForFrameRect(s, QRectF(QPointF(0, 0), R.size()))};
}

PopoverPosition popoverBestPosition(const PopoverFrameStyle& s, QSizeF frameSize, QPointF P, const QRectF& V,
                                    std::optional<QRectF> window) {
  const qreal fw = frameSize.width() + 2 * s.viewMargin, fh = frameSize.height() + 2 * s.viewMargin;
  const qreal k = s.distance + s.arrowHeight;
  PopoverPosition pos;
  if (V.y() <= P.y() - fh - k)
    pos = PopoverBelow;
  else if (P.x() + fw + k < maxX(V))
    pos = PopoverRight;
  else if (V.x() <= P.x() - fw - k)
    pos = PopoverLeft;
  else if (P.y() + fh + k < maxY(V))
    pos = PopoverAbove;
  else
    pos = PopoverBelow;
  const QRectF Q = window ? window->intersected(V) : V;
  const qreal h = s.arrowWidth / 2 + (s.drawRoundCornerBesideArrow ? s.cornerRadius : 0);
  if (pos == PopoverLeft || pos == PopoverRight) {
    if (Q.y() > P.y() - fh / 2) {
      if (maxY(V) > P.y() + fh - h) pos = pos == PopoverLeft ? PopoverLeftUpward : PopoverRightUpward;
    } else if (P.y() + fh / 2 >= maxY(Q) && P.y() - fh + h >= V.y()) {
      pos = pos == PopoverLeft ? PopoverLeftDownward : PopoverRightDownward;
    }
  } else {
    if (Q.x() > P.x() - fw / 2) {
      if (maxX(V) > P.x() + fw - h) pos = pos == PopoverBelow ? PopoverBelowRightward : PopoverAboveRightward;
    } else if (P.x() + fw / 2 >= maxX(Q) && P.x() - fw + h >= V.x()) {
      pos = pos == PopoverBelow ? PopoverBelowLeftward : PopoverAboveLeftward;
    }
  }
  return pos;
}
