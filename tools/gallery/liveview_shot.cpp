// Renders the live view offscreen to a PNG for review: a Canon frame with three focus
// boxes, the level tilted a few degrees, a 3x3 white grid, focus peaking and the
// highlight and shadow warnings on. QT_SCALE_FACTOR=2 renders it at 2x.
// Usage: korvalume-liveview-shot <output.png>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <turbojpeg.h>

#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/camera_vendor.h"
#include "viewer/liveview/live_view_image_view.h"

namespace {

// A scene with a clipped sky, a crushed shadow and sharp-edged shapes.
QByteArray sceneJpeg(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient sky(0, 0, 0, h * 0.45);
  sky.setColorAt(0, QColor(255, 255, 255));
  sky.setColorAt(1, QColor(120, 160, 210));
  p.fillRect(0, 0, w, int(h * 0.45), sky);
  QLinearGradient ground(0, h * 0.45, 0, h);
  ground.setColorAt(0, QColor(90, 120, 60));
  ground.setColorAt(1, QColor(0, 0, 0));
  p.fillRect(0, int(h * 0.45), w, h, ground);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(200, 80, 40));
  p.setPen(QPen(QColor(30, 20, 10), 3));
  p.drawRect(QRectF(w * 0.18, h * 0.35, w * 0.22, h * 0.3));
  p.setBrush(QColor(230, 210, 90));
  p.drawEllipse(QPointF(w * 0.68, h * 0.5), w * 0.1, w * 0.1);
  p.end();
  tjhandle tj = tjInitCompress();
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  tjCompress2(tj, img.constBits(), w, int(img.bytesPerLine()), h, TJPF_BGRX, &buf, &size, TJSAMP_422, 90, 0);
  QByteArray out(reinterpret_cast<const char*>(buf), qsizetype(size));
  tjFree(buf);
  tjDestroy(tj);
  return out;
}

QByteArray canonFrame(const QByteArray& jpeg) {
  EOS_LiveViewInfoStruct h;
  std::memset(&h, 0, sizeof h);
  h.frameKind = CanonFrameKindJpeg;
  h.levelAngle = 3.5f;
  h.zoomScale = 1;
  h.fullWidth = h.visibleWidth = h.zoomWidth = 6000;
  h.fullHeight = h.visibleHeight = h.zoomHeight = 4000;
  h.afFrameCount = 3;
  const uint32_t states[] = {0x11, 0x12, 0x10};
  for (uint32_t i = 0; i < 3; ++i) {
    h.afState[i] = states[i];
    h.afX[i] = 1200 + i * 1500;
    h.afY[i] = 1700;
    h.afWidth[i] = 500;
    h.afHeight[i] = 500;
  }
  h.imageLength = uint32_t(jpeg.size());
  QByteArray frame(int(kCanonLiveViewImageOffset), '\0');
  std::memcpy(frame.data(), &h, kCanonLiveViewImageOffset);
  return frame + jpeg + QByteArray(8, '\0');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir settings;
  UserDefaults& d = UserDefaults::standardUserDefaults();
  d.useFile(settings.filePath(QStringLiteral("shot.ini")));
  for (const char* key : {kDefaultsHighlights, kDefaultsShadows, kDefaultsFocusPeaking, kDefaultsElectronicLevel})
    d.setBool(true, QString::fromLatin1(key));
  d.setBool(false, QString::fromLatin1(kDefaultsRotateLiveView));
  camSetVendor(CameraVendorNikon);  // a camera that reports its level

  LiveViewImageView view;
  view.resize(900, 560);
  view.setGrid(0, 1);
  view.show();
  bool done = false;
  QObject::connect(&view, &LiveViewImageView::frameFinished, &view, [&] { done = true; });
  view.setLiveViewImage(canonFrame(sceneJpeg(1024, 680)), 13, false);
  while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
  const QImage shot = view.grab().toImage();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) return 1;
  std::printf("%s: %d x %d\n", argv[1], shot.width(), shot.height());
  return 0;
}
