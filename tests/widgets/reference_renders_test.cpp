// A handful of widgets at 1x and 2x against committed renders, so a drawing change fails here.
// KV_UPDATE_REFERENCES=1 rewrites tests/widgets/reference/ (look at the files first).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/reference_image.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "ui/widgets/popover/sfb_popover.h"
#include "ui/widgets/progress/mb_bar_progress_view.h"
#include "ui/widgets/progress/mb_round_progress_view.h"
#include "ui/widgets/progress/yrk_spinning_progress_indicator.h"

namespace widgetrefs {

const QString kFolder = QStringLiteral(KV_SOURCE_DIR "/tests/widgets/reference");

QImage renderAt(QWidget& w, int ratio) {
  QImage img(w.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(ratio);
  img.fill(Qt::transparent);
  w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  img.setDevicePixelRatio(1);
  return img;
}

struct Sample {
  const char* name;
  std::function<std::unique_ptr<QWidget>()> make;
};

std::unique_ptr<QWidget> flatButton(const QString& title) {
  auto b = std::make_unique<SYFlatButton>();
  b->resize(96, 28);
  b->setOnAnimateDuration(0);
  b->setOffAnimateDuration(0);
  b->setCornerRadius(5);
  b->setBorderWidth(1);
  b->setBackgroundNormalColor(QColor(0x1F, 0x6F, 0xD1));
  b->setBorderNormalColor(QColor(0xF2, 0xF2, 0xF2));
  b->setTitleNormalColor(Qt::white);
  b->setFont(Font::boldSystemFontOfSize(13));
  b->setTitle(title);
  return b;
}

}  // namespace widgetrefs

TEST(WidgetReference, WidgetsMatchTheirReferenceRenders) {
  using widgetrefs::Sample;
  const Sample samples[] = {
      {"flat-button", [] { return widgetrefs::flatButton(QString()); }},
      // The embedded face, so the title is the same on every machine.
      {"flat-button-ok", [] { return widgetrefs::flatButton(QStringLiteral("OK")); }},
      {"spinner-stopped",
       [] {
         auto s = std::make_unique<YRKSpinningProgressIndicator>();
         s->resize(60, 60);
         s->setColor(Qt::white);
         return std::unique_ptr<QWidget>(std::move(s));
       }},
      {"spinner-pie-25",
       [] {
         auto s = std::make_unique<YRKSpinningProgressIndicator>();
         s->resize(60, 60);
         s->setColor(Qt::white);
         s->setDoubleValue(25);
         return std::unique_ptr<QWidget>(std::move(s));
       }},
      {"round-progress-40",
       [] {
         auto r = std::make_unique<MBRoundProgressView>();
         r->resize(60, 60);
         r->setProgress(0.4f);
         return std::unique_ptr<QWidget>(std::move(r));
       }},
      {"annular-progress-70",
       [] {
         auto r = std::make_unique<MBRoundProgressView>();
         r->resize(60, 60);
         r->setAnnular(true);
         r->setProgress(0.7f);
         return std::unique_ptr<QWidget>(std::move(r));
       }},
      {"bar-progress-60",
       [] {
         auto b = std::make_unique<MBBarProgressView>();
         b->setProgress(0.6f);
         return std::unique_ptr<QWidget>(std::move(b));
       }},
  };
  for (const Sample& s : samples) {
    const std::unique_ptr<QWidget> w = s.make();
    for (int ratio : {1, 2}) {
      SCOPED_TRACE(testing::Message() << s.name << " at " << ratio << "x");
      EXPECT_TRUE(kvtest::matchesReference(widgetrefs::renderAt(*w, ratio), widgetrefs::kFolder,
                                           QStringLiteral("%1@%2x").arg(s.name).arg(ratio)));
    }
  }
}

// The popover's body and arrow, above-leftward as the histogram uses it.
TEST(WidgetReference, PopoverFrameMatchesItsReferenceRenders) {
  auto* content = new QWidget;
  content->resize(100, 50);
  SFBPopover pop(content);
  pop.setPosition(PopoverAboveLeftward);
  pop.setDistance(12);
  pop.setBackgroundColor(QColor::fromRgbF(0, 0, 0, 0.5f));
  for (int ratio : {1, 2}) {
    SCOPED_TRACE(ratio);
    EXPECT_TRUE(kvtest::matchesReference(widgetrefs::renderAt(*pop.popoverWindow()->popoverWindowFrame(), ratio),
                                         widgetrefs::kFolder, QStringLiteral("popover-above-leftward@%1x").arg(ratio)));
  }
}
