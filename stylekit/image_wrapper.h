#pragma once
// The rule that turns a draw method into an image: the image captures the size and the
// state arguments by value and, whenever it is drawn, calls the draw method with the frame
// (0, 0, width, height) of that size, whatever rectangle it is drawn into.
#include <QRectF>
#include <QSizeF>
#include <type_traits>
#include <utility>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

template <typename... Params, typename... Args>
StyleKitImage imageOfDrawMethod(QSizeF size, void (*draw)(GraphicsContext&, QRectF, Params...),
                                Args&&... args) {
  static_assert(sizeof...(Params) == sizeof...(Args), "every state argument is passed on");
  return StyleKitImage::imageWithSize(
      size, [w = size.width(), h = size.height(), draw,
             ... captured = std::decay_t<Params>(std::forward<Args>(args))](GraphicsContext& ctx, QRectF) {
        draw(ctx, QRectF(0, 0, w, h), captured...);
        return true;
      });
}
