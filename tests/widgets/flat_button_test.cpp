#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "platform/graphics/text.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

namespace {

struct Recorder : SYFlatButtonDelegate {
  QStringList log;
  void buttonDown(SYFlatButton*) override { log << "down"; }
  void buttonUp(SYFlatButton*) override { log << "up"; }
};

// A button with a distinct colour in each of its eight slots.
void colour(SYFlatButton& b) {
  b.setBorderNormalColor(QColor(1, 0, 0));
  b.setBorderHighlightColor(QColor(2, 0, 0));
  b.setBackgroundNormalColor(QColor(3, 0, 0));
  b.setBackgroundHighlightColor(QColor(4, 0, 0));
  b.setImageNormalColor(QColor(5, 0, 0));
  b.setImageHighlightColor(QColor(6, 0, 0));
  b.setTitleNormalColor(QColor(7, 0, 0));
  b.setTitleHighlightColor(QColor(8, 0, 0));
}

std::array<int, 4> storedReds(const SYFlatButton& b) {
  return {b.storedColor(SYFlatButton::BorderColor).red(), b.storedColor(SYFlatButton::BackgroundColor).red(),
          b.storedColor(SYFlatButton::ImageColor).red(), b.storedColor(SYFlatButton::TitleColor).red()};
}

}  // namespace

TEST(FlatButton, FillIsRedUntilTheFirstColourChangeAndDisabledIsHalfAlpha) {
  SYFlatButton b;
  EXPECT_EQ(b.storedColor(SYFlatButton::BackgroundColor), QColor(Qt::red));
  b.setBackgroundNormalColor(Qt::blue);
  EXPECT_EQ(b.storedColor(SYFlatButton::BackgroundColor), QColor(Qt::blue));
  EXPECT_EQ(b.alphaValue(), 1.0);
  b.setEnabled(false);
  EXPECT_EQ(b.alphaValue(), 0.5);
  EXPECT_EQ(b.hitTest(QPointF(1, 1)), nullptr);
  b.setEnabled(true);
  b.resize(20, 20);
  EXPECT_EQ(b.hitTest(QPointF(1, 1)), &b);
}

TEST(FlatButton, StateOneUsesTheHighlightSetEveryOtherStateTheNormalSet) {
  SYFlatButton b;
  colour(b);
  EXPECT_EQ(storedReds(b), (std::array<int, 4>{1, 3, 5, 7}));
  b.setState(1);
  EXPECT_EQ(storedReds(b), (std::array<int, 4>{2, 4, 6, 8}));
  b.setState(-1);  // mixed
  EXPECT_EQ(storedReds(b), (std::array<int, 4>{1, 3, 5, 7}));
}

TEST(FlatButton, SameColourStartsNoAnimationAndZeroDurationIsImmediate) {
  SYFlatButton b;
  colour(b);
  b.setOnAnimateDuration(10);
  b.setState(1);
  EXPECT_EQ(b.runningAnimationCount(), 4);
  // Interrupted: the new animation starts from the previous target, not the shown colour.
  b.setState(0);  // off duration 0: immediate
  EXPECT_EQ(b.runningAnimationCount(), 0);
  EXPECT_EQ(b.presentedColor(SYFlatButton::BackgroundColor), QColor(3, 0, 0));
  b.setBackgroundNormalColor(QColor(3, 0, 0));
  EXPECT_EQ(b.runningAnimationCount(), 0);
  b.setState(1);
  EXPECT_EQ(b.runningAnimationCount(), 4);
  b.finishAnimations();
  EXPECT_EQ(b.presentedColor(SYFlatButton::TitleColor), QColor(8, 0, 0));
}

TEST(FlatButton, MomentaryAndTogglePresses) {
  struct Case {
    bool momentary;
    int stateWhilePressed, stateAfter;
  };
  for (const Case c : {Case{true, 1, 0}, Case{false, 1, 1}}) {
    SCOPED_TRACE(c.momentary);
    SYFlatButton b;
    colour(b);
    auto rec = std::make_shared<Recorder>();
    b.setDelegate(rec);
    int blocks = 0;
    b.setMouseDownBlock([&] { ++blocks; });
    b.setMomentary(c.momentary);
    QSignalSpy actions(&b, &SYFlatButton::action);
    b.mouseDown();
    EXPECT_EQ(b.state(), c.stateWhilePressed);
    EXPECT_EQ(b.storedColor(SYFlatButton::BackgroundColor).red(), c.stateWhilePressed ? 4 : 3);
    b.mouseUp();
    EXPECT_EQ(b.state(), c.stateAfter);
    EXPECT_EQ(actions.count(), 1);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(rec->log, QStringList({"down", "up"}));
  }
}

TEST(FlatButton, LeavingWhilePressedCancelsOnlyWithATrackingArea) {
  for (bool nib : {false, true}) {
    SCOPED_TRACE(nib);
    SYFlatButton b;
    b.resize(80, 30);
    b.setMomentary(true);
    if (nib) b.awakeFromNib();
    QSignalSpy actions(&b, &SYFlatButton::action);
    b.show();
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 10), b.mapToGlobal(QPointF(200, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&b, &move);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(actions.count(), nib ? 0 : 1);
    EXPECT_EQ(b.state(), 0);
  }
}

TEST(FlatButton, DisabledButtonTakesNoClicks) {
  SYFlatButton b;
  b.resize(80, 30);
  b.setEnabled(false);
  QSignalSpy actions(&b, &SYFlatButton::action);
  b.show();
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
  b.mouseDown();
  b.mouseUp();
  EXPECT_EQ(actions.count(), 0);
}

TEST(FlatButton, TitleAndImageLayersComeAndGo) {
  SYFlatButton b;
  b.resize(100, 30);
  EXPECT_FALSE(b.hasTitleLayer());
  EXPECT_FALSE(b.hasImageLayer());
  b.setTitle("OK");
  EXPECT_TRUE(b.hasTitleLayer());
  QImage img(10, 8, QImage::Format_ARGB32);
  img.fill(Qt::black);
  b.setImage(img);
  EXPECT_FALSE(b.hasImageLayer());  // position 0: no image
  b.setImagePosition(ImageOnly);
  EXPECT_TRUE(b.hasImageLayer());
  EXPECT_FALSE(b.hasTitleLayer());
  EXPECT_EQ(b.imageMaskFrame(), QRectF(45, 11, 10, 8));
  b.setTitle("");
  b.setImagePosition(ImageLeft);
  EXPECT_FALSE(b.hasTitleLayer());
}

TEST(FlatButton, TitleAndImageOriginsFollowTheImagePosition) {
  QImage img(10, 8, QImage::Format_ARGB32);
  img.fill(Qt::black);
  SYFlatButton probe;
  probe.setTitle("Go");
  const QSizeF t = SYFlatButton::frameSizeForString("Go", probe.font());
  const QSizeF ta = sizeWithAttributes("Go", TextAttributes{probe.font()});
  ASSERT_GT(t.width(), 0);
  const qreal W = 200, H = 60, sp = 3;
  struct Case {
    int pos;
    QPointF title, image;
  };
  const Case cases[] = {
      {ImageOverlaps, {(W - t.width()) / 2, (H - t.height()) / 2}, {(W - 10) / 2, (H - 8) / 2}},
      {ImageLeft, {(W + 10 - t.width()) / 2 + sp, (H - t.height()) / 2}, {(W - 10 - ta.width()) / 2 - sp, (H - 8) / 2}},
      {ImageRight, {(W - 10 - t.width()) / 2 - sp, (H - t.height()) / 2}, {(W - 10 + ta.width()) / 2 + sp, (H - 8) / 2}},
      {ImageBelow, {(W - t.width()) / 2, (H - 8 - t.height()) / 2 - sp}, {(W - 10) / 2, (H - 8 + ta.height()) / 2 + sp}},
      {ImageAbove, {(W - t.width()) / 2, (H + 8 - t.height()) / 2 + sp}, {(W - 10) / 2, (H - 8 - ta.height()) / 2 - sp}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pos);
    SYFlatButton b;
    b.resize(W, H);
    b.setTitle("Go");
    b.setImage(img);
    b.setSpacing(sp);
    b.setImagePosition(c.pos);
    EXPECT_EQ(b.titleFrame().topLeft(), QPointF(std::round(c.title.x()), std::round(c.title.y())));
    EXPECT_EQ(b.titleFrame().size(), QSizeF(std::ceil(t.width()), std::ceil(t.height())));
    EXPECT_EQ(b.imageMaskFrame().topLeft(), QPointF(std::round(c.image.x()), std::round(c.image.y())));
  }
}

TEST(FlatButton, FrameChangeMovesTheTitleButNotTheImage) {
  QImage img(10, 8, QImage::Format_ARGB32);
  SYFlatButton b;
  b.resize(100, 30);
  b.setTitle("A");
  b.setImage(img);
  b.setImagePosition(ImageLeft);
  const QRectF image = b.imageMaskFrame(), title = b.titleFrame();
  b.setFrame(QRectF(0, 0, 160, 30));
  EXPECT_EQ(b.imageMaskFrame(), image);
  EXPECT_NE(b.titleFrame(), title);
}

TEST(FlatButton, ShrinkToFitTitleTable) {
  // The font steps down 1 point at a time until the title's left edge is at least 2 points in.
  struct Case {
    qreal width;
    QString title;
  };
  for (const Case& c : {Case{200, "Cancel"}, Case{40, "Cancel"}, Case{30, "A long title"}, Case{4, "Wide"}}) {
    SCOPED_TRACE(c.width);
    SYFlatButton b;
    b.resize(static_cast<int>(c.width), 20);
    b.setTitle(c.title);
    const qreal size = b.font().pointSize();
    const qreal x = (c.width - SYFlatButton::frameSizeForString(c.title, b.font()).width()) / 2;
    if (size > SYFlatButton::kMinimumTitleFontSize) {
      EXPECT_GE(x, 2.0);
    }
    if (size < 13) {
      // One point larger would not have fitted.
      const Font bigger(b.font().face(), size + 1);
      EXPECT_LT((c.width - SYFlatButton::frameSizeForString(c.title, bigger).width()) / 2, 2.0);
    }
    if (c.width == 200) {
      EXPECT_EQ(size, 13);
    }
    if (c.width == 4) {
      EXPECT_EQ(size, SYFlatButton::kMinimumTitleFontSize);
    }
    // The button's font stays reduced: a wider frame does not grow it back.
    b.resize(400, 20);
    EXPECT_EQ(b.font().pointSize(), size);
  }
}

TEST(FlatButton, FrameSizeIsZeroWhenACharacterHasNoGlyph) {
  const Font f = Font::systemFontOfSize(13);
  EXPECT_GT(SYFlatButton::frameSizeForString("OK", f).width(), 0);
  EXPECT_EQ(SYFlatButton::frameSizeForString(QString::fromUtf8("OK\xF0\x9F\x98\x80"), f), QSizeF(0, 0));
}

TEST(FlatButton, ImageIsDrawnAsASilhouetteInTheTint) {
  QImage img(10, 10, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) img.setPixelColor(x, y, QColor(0, 0, 0, 255));  // top half
  SYFlatButton b;
  b.resize(30, 30);
  b.setBackgroundNormalColor(Qt::white);
  b.setImageNormalColor(Qt::blue);
  b.setImage(img);
  b.setImagePosition(ImageOnly);
  QImage out = b.grab().toImage();
  EXPECT_EQ(out.pixelColor(15, 12), QColor(Qt::blue));   // upper half of the image
  EXPECT_EQ(out.pixelColor(15, 18), QColor(Qt::white));  // lower half: transparent in the mask
}

TEST(FlatButton, PaintsWhenRenderedAsAChildOfAnotherWidget) {
  // The plate's rounded clip must follow the child's offset in its parent's device.
  QWidget parent;
  parent.resize(200, 100);
  auto* b = new SYFlatButton(&parent);
  b->setGeometry(120, 60, 60, 28);
  b->setCornerRadius(6);
  b->setBackgroundNormalColor(Qt::blue);
  QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::black);
  parent.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(img.pixelColor(150, 74), QColor(Qt::blue));
  EXPECT_EQ(img.pixelColor(120, 60), QColor(Qt::black));  // the rounded corner stays clear
}
