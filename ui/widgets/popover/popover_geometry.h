#pragma once
// The popover's geometry as pure y-up functions: the frame view's content and frame
// rectangles, its attachment point and body path, the window's re-layout when a setting
// changes, and the choice of the best position around a point.
#include <QPointF>
#include <QRectF>

#include <optional>

#include "platform/graphics/bezier_path.h"

using PopoverPosition = unsigned;
constexpr PopoverPosition PopoverLeft = 0;
constexpr PopoverPosition PopoverBelow = 1;
constexpr PopoverPosition PopoverRight = 2;
constexpr PopoverPosition PopoverAbove = 3;
constexpr PopoverPosition PopoverLeftUpward = 4;
constexpr PopoverPosition PopoverLeftDownward = 5;
constexpr PopoverPosition PopoverRightUpward = 6;
constexpr PopoverPosition PopoverRightDownward = 7;
constexpr PopoverPosition PopoverAboveLeftward = 8;
constexpr PopoverPosition PopoverAboveRightward = 9;
constexpr PopoverPosition PopoverBelowLeftward = 10;
constexpr PopoverPosition PopoverBelowRightward = 11;

// The body side that carries the arrow (the frame grows on that side).
enum class ArrowSide { Right, Top, Left, Bottom, None };
ArrowSide arrowSideForPosition(PopoverPosition position);

// The frame view's appearance settings, with their defaults.
struct PopoverFrameStyle {
  bool drawsArrow = true;
  bool drawRoundCornerBesideArrow = true;
  bool movable = false;
  bool resizable = false;
  PopoverPosition popoverPosition = PopoverBelow;
  qreal distance = 0;
  qreal borderWidth = 2;
  qreal cornerRadius = 8;
  qreal arrowWidth = 20;
  qreal arrowHeight = 16;
  qreal viewMargin = 2;
};

QRectF popoverContentRectForFrameRect(const PopoverFrameStyle& s, const QRectF& frame);
QRectF popoverFrameRectForContentRect(const PopoverFrameStyle& s, const QRectF& content);
QPointF popoverAttachmentPointForRect(const PopoverFrameStyle& s, const QRectF& rect);
// The body and arrow around a content rectangle, round joins, clockwise from the top edge.
BezierPath popoverFramePathForContentRect(const PopoverFrameStyle& s, const QRectF& content);
// Two lines from the path's current point: to the arrow's tip and to the end of its base.
void appendPopoverArrow(const PopoverFrameStyle& s, BezierPath& path, QPointF current);

// The window after a setting changed: its frame (screen, y up) and the content view's
// frame inside it.
struct PopoverWindowLayout {
  QRectF frame;
  QRectF contentFrame;
};
// A new position, keeping the attachment point where it was on the screen.
PopoverWindowLayout popoverRelayoutForPosition(PopoverFrameStyle& s, const QRectF& frame, PopoverPosition position);
// A new distance or arrow height (the arrow side's edge stays).
enum class ArrowSpaceSetting { Distance, ArrowHeight };
PopoverWindowLayout popoverRelayoutForArrowSpace(PopoverFrameStyle& s, const QRectF& frame, ArrowSpaceSetting which,
                                                 qreal value);
// A new border width or view margin (the arrow side's edge stays; growth is even along it).
enum class AllRoundSetting { BorderWidth, ViewMargin };
PopoverWindowLayout popoverRelayoutForAllRound(PopoverFrameStyle& s, const QRectF& frame, AllRoundSetting which,
                                               qreal value);

// The position that fits best: `frameSize` is the popover window's frame size, `point` in
// screen coordinates, `visible` the visible area, `window` the parent window's frame.
PopoverPosition popoverBestPosition(const PopoverFrameStyle& s, QSizeF frameSize, QPointF point, const QRectF& visible,
                                    std::optional<QRectF> window);
