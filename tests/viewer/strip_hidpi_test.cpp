// The strip on a screen of twice the density, in a child copy of the test program started
// with Qt's scale factor: thumbnails are made and decoded at device pixels, and the strip
// with long names is rendered to strip_2x_long_names.png beside the test program.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>

#include <cstring>

#include "support/qt_test_support.h"
#include "viewer/strip/main_thumbnail_controller.h"

namespace {

QByteArray hidpiGradientJpeg(QSize size, QColor from, QColor to) {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient g(0, 0, size.width(), size.height());
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  p.fillRect(image.rect(), g);
  // Fine lines show whether the picture is sharp or stretched.
  p.setPen(Qt::white);
  for (int x = 0; x < size.width(); x += 8) p.drawLine(x, 0, x, size.height());
  p.end();
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  image.save(&b, "JPG", 90);
  return out;
}

std::shared_ptr<PtpObjectInfoClass> hidpiObject(const char* name, uint32_t handle, uint16_t format) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = format;
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  return PtpObjectInfoClass::init(&r);
}

}  // namespace

KV_EXIT_SCENARIO(StripAtTwiceTheScale) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())->devicePixelRatio() != 2) return 2;
  QListView view;
  view.resize(660, 140);
  view.setStyleSheet("background: #303030");
  MainThumbnailController controller(&view);
  struct Shot {
    const char* name;
    QSize size;
    uint16_t format;
  } shots[] = {
      {"IMG_0001.JPG", {600, 400}, 0x3801},
      {"DSC_20261211_102233_HDR.NEF", {600, 400}, 0xB103},
      {"A_very_long_file_name_from_the_device_0001.CR3", {400, 600}, 0xB108},
      {"P1000001_panorama_stitched_final_v2.TIF", {800, 300}, 0x380D},
      {"An_absurdly_long_name_that_no_label_of_a_thumbnail_could_ever_hold_whole_0001.MOV", {600, 400}, 0x300D},
  };
  uint32_t handle = 1;
  for (const Shot& s : shots)
    controller.addThumnailImage(hidpiGradientJpeg(s.size, QColor(40, 90, 160), QColor(200, 120, 40)),
                                hidpiObject(s.name, handle++, s.format));
  ThumbnailRating rating;
  rating.object = *controller.objectInfoAt(0)->origObjectInfo();
  rating.rating = 3;
  controller.setRating(rating);
  controller.itemClicked(1);
  if (!kvtest::waitUntil([&] { return !controller.isPreparing(0); })) return 3;
  // The stored thumbnail has twice the cell's pixels: 110 x 73 points, 220 x 146 pixels.
  const QImage stored = QImage::fromData(controller.thumbnailBytesAt(0), "JPG");
  if (stored.size() != QSize(220, 146)) return 4;
  view.show();
  (void)view.grab();
  if (!kvtest::waitUntil([&] {
        for (int i = 0; i < controller.count(); ++i)
          if (!controller.isDecoded(i)) return false;
        return true;
      }))
    return 5;
  ThumbnailViewCell cell;
  controller.cellForRow(0, cell);
  if (cell.thumbnailImage.size() != QSize(220, 146) || cell.thumbnailImage.devicePixelRatio() != 2) return 6;
  const QPixmap shot = view.grab();
  if (shot.devicePixelRatio() != 2) return 7;
  if (!shot.save(QCoreApplication::applicationDirPath() + "/strip_2x_long_names.png")) return 8;
  return 0;
}

TEST(StripHiDpi, ThumbnailsAreMadeAndDecodedAtDevicePixels) {
  // The child reads the scale factor when it builds its application.
  qputenv("QT_SCALE_FACTOR", "2");
  const std::optional<int> result = kvtest::runExitScenario("StripAtTwiceTheScale", std::chrono::minutes(2));
  qunsetenv("QT_SCALE_FACTOR");
  EXPECT_EQ(result, std::optional<int>(0));
}
