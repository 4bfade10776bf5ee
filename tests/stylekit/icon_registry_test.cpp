// Every registered icon renders something at the sheet's sizes and ratios.
#include <gtest/gtest.h>

#include <set>

#include "stylekit/icon_registry.h"

TEST(IconRegistry, EveryIconPaintsAtEverySheetSizeAndRatio) {
  const auto& icons = iconRegistry();
  ASSERT_GE(icons.size(), 6u);
  std::set<QString> names;
  for (const IconSample& icon : icons) {
    EXPECT_TRUE(names.insert(icon.name).second) << icon.name.toStdString();
    for (QSizeF size : {QSizeF(20, 20), QSizeF(96, 48)}) {
      for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        const StyleKitImage img = icon.image(size);
        ASSERT_EQ(img.size(), size);
        const QImage px = img.render(ratio);
        ASSERT_EQ(px.width(), qCeil(size.width() * ratio - 1e-9));
        int painted = 0;
        for (int y = 0; y < px.height(); ++y)
          for (int x = 0; x < px.width(); ++x) painted += qAlpha(px.pixel(x, y)) > 0;
        EXPECT_GT(painted, px.width() * px.height() / 20) << icon.name.toStdString() << " " << ratio;
      }
    }
  }
}
