// Renders the widgets offscreen into one PNG page for review: the alert with all its
// buttons and help popover, the progress HUD in each mode, popovers at several positions
// flat buttons in each state, and the live-view overlays.
// Usage: korvalume-gallery <output.png>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <cstdio>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/text.h"
#include "ui/widgets/alert/kl_alert.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/popover/sfb_popover.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"
#ifdef KV_GALLERY_VIEWER
#include <cstring>
#include <functional>

#include "model/exif_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/props/prop_table.h"
#include "tests/model/exif_fixture.h"
#include "viewer/liveview/af_overlay_view.h"
#include "viewer/liveview/electronic_level_view.h"
#include "viewer/liveview/grid_view.h"
#include "viewer/still/exif_view.h"
#include "viewer/still/histogram_view.h"
#include "viewer/strip/thumbnail_view_cell.h"
#endif

namespace {

constexpr int kPad = 16;
constexpr int kLabel = 20;

class Page {
 public:
  explicit Page(QSize size) : image_(size, QImage::Format_ARGB32_Premultiplied), painter_(&image_) {
    image_.fill(QColor(0x1C, 0x1C, 0x1E));
  }
  // Places a rendered widget with a caption; moves to the next row when the row is full.
  void add(const QString& caption, const QImage& shot) {
    if (x_ + shot.width() + kPad > image_.width()) newRow();
    label(caption, QPointF(x_, y_));
    painter_.drawImage(QPointF(x_, y_ + kLabel), shot);
    x_ += std::max(shot.width(), 100) + kPad;  // room for the caption
    rowHeight_ = std::max(rowHeight_, shot.height() + kLabel);
  }
  void newRow() {
    x_ = kPad;
    y_ += rowHeight_ + kPad;
    rowHeight_ = 0;
  }
  bool save(const QString& path) {
    painter_.end();
    return image_.copy(0, 0, image_.width(), std::min(image_.height(), y_ + rowHeight_ + kPad)).save(path);
  }

 private:
  void label(const QString& text, QPointF topLeft) {
    painter_.save();
    painter_.translate(topLeft);
    GraphicsContext ctx(painter_, kLabel);
    drawInRect(ctx, text, QRectF(0, 0, 1000, kLabel - 4),
               TextAttributes{Font(FontFace::Regular, 12), QColor(0xC8, 0xC8, 0xC8), TextAlignment::Left});
    painter_.restore();
  }

  QImage image_;
  QPainter painter_;
  int x_ = kPad, y_ = kPad, rowHeight_ = 0;
};

QImage shot(QWidget& w) {
  QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  w.render(&img);
  return img;
}

// A stand-in for a window's content: a mid-grey pane with a few stripes, so that
// translucency shows.
class Backdrop : public QWidget {
 public:
  explicit Backdrop(QSize size) { resize(size); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x6A, 0x70, 0x78));
    for (int x = -height(); x < width(); x += 24)
      p.fillRect(QRect(x, 0, 8, height()).translated(0, 0), QColor(0x7A, 0x80, 0x88));
  }
};

void addFlatButtons(Page& page) {
  QImage glyph(16, 16, QImage::Format_ARGB32);
  glyph.fill(Qt::transparent);
  {
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QRectF(5, 5, 6, 6));
  }
  struct Variant {
    const char* caption;
    int state;
    bool enabled;
    int imagePosition;
    const char* title;
  };
  const Variant variants[] = {
      {"normal", 0, true, NoImage, "Normal"},       {"state 1 (on)", 1, true, NoImage, "On"},
      {"disabled", 0, false, NoImage, "Disabled"},  {"image left", 0, true, ImageLeft, "Image"},
      {"image only", 1, true, ImageOnly, ""},       {"shrunk title", 0, true, NoImage, "A title too long"},
  };
  for (const Variant& v : variants) {
    SYFlatButton b;
    b.resize(v.imagePosition == ImageOnly ? 40 : 110, 32);
    b.setCornerRadius(6);
    b.setBorderWidth(1);
    b.setBorderNormalColor(QColor(0x8A, 0xB4, 0xF8));
    b.setBorderHighlightColor(Qt::white);
    b.setBackgroundNormalColor(QColor(0x1F, 0x6F, 0xD1));
    b.setBackgroundHighlightColor(QColor(0xF2, 0xA9, 0x3B));
    b.setTitleNormalColor(Qt::white);
    b.setTitleHighlightColor(QColor(0x20, 0x20, 0x20));
    b.setImageNormalColor(Qt::white);
    b.setImageHighlightColor(QColor(0x20, 0x20, 0x20));
    b.setSpacing(3);
    b.setTitle(v.title);
    if (v.imagePosition != NoImage) {
      b.setImage(glyph);
      b.setImagePosition(v.imagePosition);
    }
    if (QString(v.caption) == "shrunk title") b.resize(80, 32), b.setFrame(QRectF(0, 0, 80, 32));
    b.setState(v.state);
    b.setEnabled(v.enabled);
    b.finishAnimations();
    page.add(v.caption, shot(b));
  }
}

void addAlert(Page& page) {
  auto alert = KL_Alert::klAlertWithStyle(AlertStyleStop);
  alert->setTitleText("Error");
  alert->setInformationText("The SD card could not be formatted.  Response: card is write-protected.");
  alert->setCancelButtonText("Cancel", nullptr);
  alert->setThirdButtonText("Retry", nullptr);
  alert->setHelpText("Slide the card's lock switch up and insert it again.");
  alert->setCheckBoxHidden(false);
  alert->showNonModal();
  alert->oCheckButton->setText("Do not ask again");
  alert->window()->adjustSize();
  page.add("alert (stop), all buttons", shot(*alert->window()));
  alert->helpAction();
  page.add("alert, help popover open", shot(*alert->window()));
  for (AlertStyle style : {AlertStyleCaution, AlertStyleNote}) {
    auto a = KL_Alert::klAlertWithStyle(style);
    a->setTitleText(style == AlertStyleCaution ? "Warning" : "Information");
    a->setInformationText("Connection to Korvalume lost.");
    a->showNonModal();
    a->window()->adjustSize();
    page.add(style == AlertStyleCaution ? "alert (caution)" : "alert (note), OK only", shot(*a->window()));
    a->close();
  }
  alert->close();
}

void addHuds(Page& page) {
  struct Variant {
    const char* caption;
    int mode;
    bool dim;
    bool button;
  };
  const Variant variants[] = {
      {"HUD spinner", HudModeSpinner, false, false}, {"HUD pie 40%", HudModePie, false, false},
      {"HUD bar + Cancel", HudModeBar, false, true}, {"HUD annular 40%", HudModeAnnular, false, false},
      {"HUD text, dimmed", HudModeText, true, false}, {"HUD custom view", HudModeCustomView, false, false},
  };
  for (const Variant& v : variants) {
    Backdrop host(QSize(260, 200));
    MBProgressHUD* hud = MBProgressHUD::showHUDAddedTo(&host, false);
    if (v.mode == HudModeCustomView) {
      auto* custom = new QLabel("✓");
      custom->setStyleSheet("color: white; font-size: 36px;");
      custom->resize(40, 40);
      custom->setAlignment(Qt::AlignCenter);
      hud->setCustomView(custom);
    }
    hud->setMode(v.mode);
    hud->setLabelText(v.mode == HudModeBar ? "40%" : "Downloading");
    hud->setDetailsLabelText(v.mode == HudModeText ? "IMG_0042.CR3" : "");
    hud->setDimBackground(v.dim);
    if (v.button) hud->setupButton("Cancel", [] {});
    hud->setProgress(0.4f);
    if (auto* spin = qobject_cast<YRKSpinningProgressIndicator*>(hud->indicator()))
      for (int i = 0; i < 5; ++i) spin->updateFrame();
    page.add(v.caption, shot(host));
  }
}

void addPopovers(Page& page) {
  const std::pair<PopoverPosition, const char*> positions[] = {
      {PopoverBelow, "popover below (1)"},         {PopoverAbove, "popover above (3)"},
      {PopoverLeft, "popover left (0)"},           {PopoverRight, "popover right (2)"},
      {PopoverAboveLeftward, "above leftward (8)"}, {PopoverBelowRightward, "below rightward (11)"},
  };
  for (const auto& [position, caption] : positions) {
    Backdrop host(QSize(280, 220));
    host.show();
    auto* content = new QLabel("Histogram");
    content->setStyleSheet("color: white;");
    content->setAlignment(Qt::AlignCenter);
    content->resize(100, 50);
    SFBPopover pop(content);
    pop.setAnimates(false);
    pop.setPosition(position);
    const QPointF target(140, 110);
    pop.displayPopoverInWindow(&host, target);
    QImage img = shot(host);
    {
      // The target point, for checking where the arrow lands.
      QPainter p(&img);
      p.setPen(QPen(QColor(255, 60, 60), 1));
      p.drawLine(QPointF(target.x() - 5, 220 - target.y()), QPointF(target.x() + 5, 220 - target.y()));
      p.drawLine(QPointF(target.x(), 220 - target.y() - 5), QPointF(target.x(), 220 - target.y() + 5));
    }
    page.add(caption, img);
    pop.closePopover();
  }
}

#ifdef KV_GALLERY_VIEWER
// Live-view overlays over a stand-in picture.
void addLiveViewOverlays(Page& page) {
  for (float angle : {0.5f, 10.0f}) {
    Backdrop host(QSize(400, 240));
    auto* level = new ElectronicLevelView(&host);
    level->resize(host.size());
    level->setAngle(angle);
    page.add(QStringLiteral("electronic level, %1 degrees").arg(angle), shot(host));
  }
  Backdrop gridHost(QSize(400, 240));
  auto* grid = new GridView(&gridHost);
  grid->resize(gridHost.size());
  grid->setHorizontalLines(3, 3);
  grid->setGridColor(1);
  page.add("grid 3x3, white", shot(gridHost));
  Backdrop barHost(QSize(300, 24));
  auto* bar = new SoundBarView(&barHost);
  bar->resize(barHost.size());
  bar->setNumberOfBins(20);
  bar->setCurrentBin(13);
  bar->setMaxBin(17);
  page.add("sound bar: 20 bins, current 13, peak 17", shot(barHost));

  // A stand-in photograph: a sky-to-ground gradient with a bright patch.
  QImage photo(320, 200, QImage::Format_RGB32);
  QPainter pp(&photo);
  QLinearGradient g(0, 0, 0, 200);
  g.setColorAt(0, QColor(90, 140, 220));
  g.setColorAt(0.6, QColor(200, 190, 160));
  g.setColorAt(1, QColor(40, 60, 30));
  pp.fillRect(photo.rect(), g);
  pp.fillRect(QRect(200, 40, 60, 40), QColor(250, 240, 200));
  pp.end();
  for (bool rgb : {true, false}) {
    QWidget host;
    host.resize(260, 110);
    host.setStyleSheet("background: #202020");
    auto* h = new HistogramView(&host);
    h->resize(host.size());
    h->setImage(photo, rgb);
    page.add(rgb ? "histogram, RGB" : "histogram, luminance", shot(host));
  }
}

// The EXIF strip for a few makes, at twice the size so the icons can be read.
void addExifStrips(Page& page) {
  struct Sample {
    const char* caption;
    exiffix::Tiff tiff;
  };
  exiffix::Tiff nikon = exiffix::Tiff::camera("NIKON CORPORATION");
  exiffix::Tiff plain;  // no exposure time, no compensation
  plain.ascii(true, 271, "Canon").rational(false, 33437, 28, 10).shortTag(false, 34855, 800);
  plain.rational(false, 37386, 35, 1).longTag(false, 40962, 3000).longTag(false, 40963, 2000);
  const Sample samples[] = {{"EXIF strip, Canon", exiffix::Tiff::camera("Canon")},
                            {"EXIF strip, Nikon", nikon},
                            {"EXIF strip, Sony", exiffix::Tiff::camera("SONY")},
                            {"EXIF strip, Canon, no shutter or compensation", plain}};
  for (const Sample& s : samples) {
    const exiffix::Bytes jpeg = exiffix::jpegWithExif(s.tiff.build(), 6000, 4000);
    QWidget host;
    host.setStyleSheet("background: #202020");
    auto* strip = new ExifView(Exif::initWithData(std::span<const uint8_t>(jpeg), 0x3801, kExifHeaderLength), &host);
    host.resize(strip->size());
    QImage img(host.size() * 2, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(2);
    img.fill(QColor(0x20, 0x20, 0x20));
    host.render(&img);
    img.setDevicePixelRatio(1);
    page.add(s.caption, img);
  }
}

// The thumbnail strip: orientations, badges, a rating, the selection, a long name and a
// picture that failed to decode, at twice the size.
void addThumbnailStrip(Page& page) {
  auto photo = [](QSize size, QColor sky) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, sky);
    g.setColorAt(1, QColor(40, 60, 30));
    p.fillRect(img.rect(), g);
    p.setBrush(QColor(250, 220, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(size.width() / 8, size.height() / 8, size.width() / 5, size.width() / 5));  // marks "up"
    return img;
  };
  struct Sample {
    const char* caption;
    QSize size;
    uint8_t orientation;
    ThumbnailBadge badge;
    int rating;
    bool selected, failed;
    const char* name;
  } samples[] = {
      {"landscape, selected", {400, 300}, 1, ThumbnailBadge::None, 0, true, false, "IMG_0001.JPG"},
      {"portrait, RAW", {300, 400}, 1, ThumbnailBadge::Raw, 0, false, false, "IMG_0002.CR2"},
      {"orientation 6, 3 stars", {400, 300}, 6, ThumbnailBadge::None, 3, false, false, "DSC_0003.JPG"},
      {"orientation 8, TIFF", {400, 300}, 8, ThumbnailBadge::Tiff, 0, false, false, "scan.tif"},
      {"orientation 3, movie", {400, 225}, 3, ThumbnailBadge::Movie, 0, false, false, "C0004.MOV"},
      {"long name, rating 6", {400, 300}, 1, ThumbnailBadge::None, 6, false, false,
       "a_rather_long_file_name_from_the_camera_0005.JPG"},
      {"undecodable", {400, 300}, 1, ThumbnailBadge::None, 0, false, true, "broken.JPG"},
  };
  for (const Sample& s : samples) {
    ThumbnailViewCell cell;
    if (!s.failed) cell.thumbnailImage = photo(s.size, QColor(90, 140, 220)).scaled(110, 110, Qt::KeepAspectRatio);
    cell.imageSize = s.size;
    cell.decodeFailed = s.failed;
    cell.orientation = s.orientation;
    cell.fileName = QString::fromLatin1(s.name);
    cell.badge = s.badge;
    cell.rating = s.rating;
    cell.selected = s.selected;
    QImage img(ThumbnailViewCell::cellSize() * 2, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0x20, 0x20, 0x20));
    QPainter p(&img);
    p.scale(2, 2);
    cell.paint(p, QRect(QPoint(0, 0), ThumbnailViewCell::cellSize()));
    p.end();
    page.add(s.caption, img);
  }
}

// The focus frames of each vendor over a stand-in live picture, letterboxed in its view.
class LivePicture : public QWidget {
 public:
  LivePicture(QSize size, const QImage& picture) : picture_(picture) { resize(size); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QSizeF fitted = QSizeF(picture_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    p.drawImage(QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted), picture_);
  }

 private:
  QImage picture_;
};

QImage standInPicture(QSize size) {
  QImage photo(size, QImage::Format_RGB32);
  QPainter pp(&photo);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, QColor(90, 140, 220));
  g.setColorAt(0.6, QColor(200, 190, 160));
  g.setColorAt(1, QColor(40, 60, 30));
  pp.fillRect(photo.rect(), g);
  pp.setBrush(QColor(120, 90, 60));
  pp.setPen(Qt::NoPen);
  pp.drawEllipse(QRectF(size.width() * 0.2, size.height() * 0.15, size.width() * 0.15, size.height() * 0.3));
  return photo;
}

void addAfOverlays(Page& page) {
  const QSize view(300, 240);
  const QImage landscape = standInPicture({600, 400});
  auto place = [&](const QString& caption, const QImage& picture, const std::function<void(AfOverlayView&)>& show) {
    LivePicture host(view, picture);
    auto* overlay = new AfOverlayView(&host);
    overlay->resize(view);
    show(*overlay);
    page.add(caption, shot(host));
  };
  EOS_LiveViewInfoStruct canon;
  std::memset(&canon, 0, sizeof canon);
  canon.zoomScale = 1;
  canon.visibleWidth = canon.fullWidth = 6000;
  canon.visibleHeight = canon.fullHeight = 4000;
  const uint32_t states[] = {0x12, 0x11, 0x10};
  for (uint32_t i = 0; i < 3; ++i) {
    canon.afX[i] = 1000 + 1800 * i;
    canon.afY[i] = 1400;
    canon.afWidth[i] = 500;
    canon.afHeight[i] = 400;
    canon.afState[i] = states[i];
  }
  canon.afFrameCount = 3;
  place("Canon: red, green, white", landscape, [&](AfOverlayView& v) { v.showCanonAfOverlay(&canon); });
  canon.rotation = 1;  // the camera held upright: boxes follow the quarter turn
  place("Canon, quarter turn", landscape.transformed(QTransform().rotate(90)),
        [&](AfOverlayView& v) { v.showCanonAfOverlay(&canon); });

  const auto setProp = [](uint32_t code, uint32_t value) {
    PropertyStruct* p = propFind(code, false);
    if (!p) p = propAdd(code, false, false);
    if (p) p->value = value;
  };
  setProp(0xEEE0, 300);
  setProp(0xEEE1, 350);
  setProp(0xEEE2, 120);
  setProp(0xEEE3, 120);
  setProp(0xD209, 2);
  place("Fujifilm, in focus", landscape,
        [&](AfOverlayView& v) { v.showFujiAfOverlayWithLiveViewSize(QSizeF(600, 400), 1); });
  setProp(0xD213, 1);
  setProp(0xD22C, 0x102);
  place("Sony, focus rectangle", landscape,
        [&](AfOverlayView& v) { v.showSonyAfOverlay(QSizeF(640, 428), QRectF(180, 140, 60, 50), 1); });
  setProp(0xD2DC, (480u << 16) | 300u);
  setProp(0xD213, 2);
  place("Sony, focus point, in focus", landscape,
        [&](AfOverlayView& v) { v.showSonyAfOverlay(QSizeF(640, 428), QRectF(), 1); });
  propClearTable();

  std::vector<uint8_t> nikon(388, 0);
  const auto put = [&](size_t off, uint16_t v) { bytesPutU16(&nikon[off], v); };
  put(16, 640);
  put(18, 424);
  put(20, 320);
  put(22, 212);
  nikon[48] = 1;
  place("Nikon, no AF area: two thirds, red", landscape,
        [&](AfOverlayView& v) { v.showNikonAfOverlay(nikon.data(), nikon.size(), 1); });
  put(24, 120);
  put(26, 80);
  put(28, 20);
  put(30, 100);
  nikon[38] = 1;
  place("Nikon, past the left edge, highlighted", landscape,
        [&](AfOverlayView& v) { v.showNikonAfOverlay(nikon.data(), nikon.size(), 1); });
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: korvalume-gallery <output.png>\n");
    return 2;
  }
  QApplication app(argc, argv);
  initGraphicsResources();
  Page page(QSize(1700, 3200));
  addFlatButtons(page);
  page.newRow();
  addAlert(page);
  page.newRow();
  addHuds(page);
  page.newRow();
  addPopovers(page);
#ifdef KV_GALLERY_VIEWER
  page.newRow();
  addLiveViewOverlays(page);
  page.newRow();
  addExifStrips(page);
  page.newRow();
  addThumbnailStrip(page);
  page.newRow();
  addAfOverlays(page);
#endif
  if (!page.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
