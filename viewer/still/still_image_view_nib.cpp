// The still pane's interface: the image area over a dark bar with the file name, the EXIF
// strip, the zoom buttons, the turn, histogram and level buttons; the histogram's content
// view waits, hidden, for its popover.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/graphics/stylekit_image.h"
#include "stylekit/korvalume_style_kit.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "viewer/still/exif_view.h"
#include "viewer/still/histogram_view.h"
#include "viewer/still/still_image_view_controller.h"

namespace {

constexpr int kBarHeight = 36;
constexpr int kButtonHeight = 24;
const QColor kPaneColour(0x1E, 0x1E, 0x1E);
const QColor kBarColour(0x2A, 0x2A, 0x2A);

SYFlatButton* makeBarButton(QWidget* parent, const char* name, int width, bool momentary) {
  auto* b = new SYFlatButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setMomentary(momentary);
  b->setCornerRadius(4);
  b->setBorderWidth(1);
  b->setBorderNormalColor(QColor(0x55, 0x55, 0x55));
  b->setBorderHighlightColor(QColor(0x2F, 0x8C, 0xFF));
  b->setBackgroundNormalColor(QColor(0x33, 0x33, 0x33));
  b->setBackgroundHighlightColor(QColor(0x2F, 0x8C, 0xFF, 0x55));
  b->setImageNormalColor(QColor(0xC8, 0xC8, 0xC8));
  b->setImageHighlightColor(Qt::white);
  b->setTitleNormalColor(QColor(0xC8, 0xC8, 0xC8));
  b->setTitleHighlightColor(Qt::white);
  b->setFont(Font::systemFontOfSize(11));
  b->setFixedSize(width, kButtonHeight);
  return b;
}

SYFlatButton* makeTitleButton(QWidget* parent, const char* name, const QString& title, int tag) {
  SYFlatButton* b = makeBarButton(parent, name, 44, false);
  b->setTitle(title);
  b->setProperty("tag", tag);
  b->awakeFromNib();
  return b;
}

SYFlatButton* makeIconButton(QWidget* parent, const char* name, const StyleKitImage& icon, const QString& tip,
                             bool momentary) {
  SYFlatButton* b = makeBarButton(parent, name, 32, momentary);
  b->setImagePosition(ImageOnly);
  b->setImage(icon.render(2));
  b->setToolTip(tip);
  b->awakeFromNib();
  return b;
}

}  // namespace

void StillImageViewController::buildView() {
  auto* pane = new QWidget;
  pane->setObjectName(QStringLiteral("StillImageView"));
  pane->setAutoFillBackground(true);
  QPalette palette = pane->palette();
  palette.setColor(QPalette::Window, kPaneColour);
  palette.setColor(QPalette::WindowText, QColor(0xDD, 0xDD, 0xDD));
  pane->setPalette(palette);

  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  oImageParentView = new QWidget(pane);
  oImageParentView->setObjectName(QStringLiteral("oImageParentView"));
  auto* imageGrid = new QGridLayout(oImageParentView);
  imageGrid->setContentsMargins(0, 0, 0, 0);
  column->addWidget(oImageParentView, 1);

  auto* bar = new QWidget(pane);
  bar->setObjectName(QStringLiteral("stillBar"));
  bar->setFixedHeight(kBarHeight);
  bar->setAutoFillBackground(true);
  QPalette barPalette = bar->palette();
  barPalette.setColor(QPalette::Window, kBarColour);
  bar->setPalette(barPalette);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(10, 0, 8, 0);
  row->setSpacing(6);
  column->addWidget(bar);

  oFileNameTextField = new QLabel(bar);
  oFileNameTextField->setObjectName(QStringLiteral("oFileNameTextField"));
  QFont nameFont = oFileNameTextField->font();
  nameFont.setPixelSize(12);
  nameFont.setBold(true);
  oFileNameTextField->setFont(nameFont);
  oFileNameTextField->setMinimumWidth(60);
  row->addWidget(oFileNameTextField);

  oExifView = new ExifView(nullptr, bar);
  oExifView->setObjectName(QStringLiteral("oExifView"));
  oExifView->setMinimumSize(200, 24);
  oExifView->setFixedHeight(24);
  row->addWidget(oExifView, 1);

  oZoomFitButton = makeTitleButton(bar, "oZoomFitButton", QStringLiteral("Fit"), 0);
  oZoom0_5Button = makeTitleButton(bar, "oZoom0_5Button", QStringLiteral("50%"), 1);
  oZoom1Button = makeTitleButton(bar, "oZoom1Button", QStringLiteral("100%"), 2);
  oZoom2Button = makeTitleButton(bar, "oZoom2Button", QStringLiteral("200%"), 3);
  oZoom4Button = makeTitleButton(bar, "oZoom4Button", QStringLiteral("400%"), 4);
  for (SYFlatButton* b : {oZoomFitButton, oZoom0_5Button, oZoom1Button, oZoom2Button, oZoom4Button}) {
    row->addWidget(b);
    connect(b, &SYFlatButton::action, this, [this](SYFlatButton* sender) { zoomButtonSelected(sender); });
  }
  row->addSpacing(8);

  oRotateButton = makeBarButton(bar, "oRotateButton", 52, true);
  oRotateButton->setTitle(QStringLiteral("Rotate"));
  oRotateButton->setToolTip(QStringLiteral("Rotate a quarter turn clockwise"));
  oRotateButton->awakeFromNib();
  row->addWidget(oRotateButton);
  connect(oRotateButton, &SYFlatButton::action, this, [this] { rotateImage(); });

  oHistogramButton = makeIconButton(bar, "oHistogramButton",
                                    KorvalumeStyleKit::imageOfHistogramWithSize(QSizeF(20, 20), false),
                                    QStringLiteral("Histogram"), true);
  row->addWidget(oHistogramButton);
  connect(oHistogramButton, &SYFlatButton::action, this, [this] { toggleHistogram(); });

  oElectronicLevelButton = makeIconButton(bar, "oElectronicLevelButton",
                                          KorvalumeStyleKit::imageOfElectronicLevelWithSize(QSizeF(20, 20)),
                                          QStringLiteral("Electronic level"), false);
  row->addWidget(oElectronicLevelButton);
  connect(oElectronicLevelButton, &SYFlatButton::action, this, [this] { electronicLevelButtonAction(); });

  // The popover's content: a translucent black plate around the histogram.
  oPopoverView = new QWidget(pane);
  oPopoverView->setObjectName(QStringLiteral("oPopoverView"));
  oPopoverView->setFixedSize(278, 122);
  oPopoverView->hide();
  oHistogramView = new HistogramView(oPopoverView);
  oHistogramView->setObjectName(QStringLiteral("oHistogramView"));
  oHistogramView->setGeometry(10, 10, 258, 102);

  view_ = pane;
}
