#pragma once
// The rule that turns a draw method into an image: the image captures the size and the
// state arguments by value and, whenever it is drawn, calls the draw method with the frame
// (0, 0, width, height) of that size, whatever rectangle it is drawn into. The draw method
// and its arguments make the image's key, so every image of the same icon shares its renders.
#include <QRectF>
#include <QSizeF>
#include <type_traits>
#include <utility>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"
#include "platform/graphics/stylekit_image_key.h"

template <typename... Params, typename... Args>
StyleKitImage imageOfDrawMethod(QSizeF size, void (*draw)(GraphicsContext&, QRectF, Params...),
                                Args&&... args) {
  static_assert(sizeof...(Params) == sizeof...(Args), "every state argument is passed on");
  return [&](auto... captured) {
    QByteArray key = stylekit_image_key::of(draw, captured...);
    return StyleKitImage::imageWithSize(
        size,
        [w = size.width(), h = size.height(), draw, captured...](GraphicsContext& ctx, QRectF) {
          draw(ctx, QRectF(0, 0, w, h), captured...);
          return true;
        },
        std::move(key));
  }(std::decay_t<Params>(std::forward<Args>(args))...);
}
