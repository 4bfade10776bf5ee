#include "viewer/still/exif_view.h"

#include <QLabel>
#include <QPointer>
#include <QStringList>

#include "model/exif_reader.h"
#include "platform/dispatch.h"
#include "platform/graphics/stylekit_image_view.h"
#include "stylekit/korvalume_style_kit.h"

namespace {

constexpr int kIconSide = 20;
constexpr int kGap = 8;

}  // namespace

ExifView::ExifView(std::shared_ptr<Exif> exif, QWidget* parent) : QWidget(parent) {
  setGeometry(0, 0, 200, 24);
  setExif(std::move(exif));
}

void ExifView::setExif(std::shared_ptr<Exif> exif) {
  if (Dispatch::isMainThread()) {
    mExif = std::move(exif);
    populateValues();
    return;
  }
  Dispatch::main([guard = QPointer<ExifView>(this), exif = std::move(exif)]() mutable {
    if (!guard) return;
    guard->mExif = std::move(exif);
    guard->populateValues();
  });
}

QString ExifView::stripText(const Exif& exif) {
  QStringList fields;
  for (const std::optional<std::string>& s : {exif.shutterSpeedString(), exif.apertureString(), exif.isoString(),
                                              exif.exposureCompensationString(), exif.focalLengthString(),
                                              exif.sizeString()}) {
    if (s && !s->empty()) fields << QString::fromStdString(*s);
  }
  return fields.join(QStringLiteral("   "));
}

uint32_t ExifView::meteringCodeForMake(uint8_t make) { return (make == 15 || make == 14) ? 0x500B : 0xD107; }
uint32_t ExifView::whiteBalanceCodeForMake(uint8_t make) { return (make == 15 || make == 14) ? 0x5005 : 0xD109; }

QRect ExifView::fromYUp(int x, int y, int width, int h) const { return QRect(x, height() - y - h, width, h); }

void ExifView::populateValues() {
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) delete child;
  if (!mExif) return;

  auto* label = new QLabel(stripText(*mExif), this);
  label->setObjectName(QStringLiteral("exifLabel"));
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setAutoFillBackground(false);
  label->setFrameShape(QFrame::NoFrame);
  QFont font = label->font();
  font.setPixelSize(12);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  label->adjustSize();  // sized to fit, bottom-left corner at (8, 4)
  label->setGeometry(fromYUp(8, 4, label->width(), label->height()));
  label->show();

  const uint8_t make = mExif->cameraMake();
  const QSizeF iconSize(kIconSide, kIconSide);
  const auto addIcon = [&](const char* name, int x, const PropertyVisual& visual) {
    auto* view = new StyleKitImageView(this);
    view->setObjectName(QLatin1String(name));
    view->setGeometry(fromYUp(x, 2, kIconSide, kIconSide));
    if (const StyleKitImage* image = visualImage(visual)) view->setImage(*image);
    view->show();
    return x + kIconSide;
  };
  const int meteringX = label->x() + label->width() + kGap;
  const int meteringRight =
      addIcon("meteringImageView", meteringX,
              KorvalumeStyleKit::imageOfMeteringMode_WithSize(iconSize, meteringCodeForMake(make),
                                                              mExif->meteringMode(), false, false, false));
  const int whiteBalanceRight =
      addIcon("whiteBalanceImageView", meteringRight + kGap,
              KorvalumeStyleKit::imageOfWhiteBalance_WithSize(iconSize, whiteBalanceCodeForMake(make),
                                                              mExif->whiteBalance(), false, false, false));
  resize(whiteBalanceRight + kGap, height());
}
