#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include "platform/window_registry.h"
#include "ui/widgets/popover/sfb_popover.h"

namespace {

struct Fixture {
  QWidget parent;
  QWidget* content = new QWidget;
  Fixture() {
    parent.resize(1000, 800);
    parent.show();
    WindowRegistry::registerWindow(&parent);
    content->resize(100, 50);
  }
};

}  // namespace

TEST(Popover, DisplayPutsTheAttachmentPointOnThePoint) {
  Fixture f;
  SFBPopover pop(f.content);
  EXPECT_EQ(pop.popoverWindow()->frame().size(), QSizeF(108, 74));
  EXPECT_FALSE(pop.isVisible());
  pop.setAnimates(false);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  EXPECT_TRUE(pop.isVisible());
  // Below the point: attachment (54, 74) -> origin (446, 326), y up; in the parent's y-down space the
  // top edge is 800 - 400 = 400.
  EXPECT_EQ(pop.popoverWindow()->frame(), QRectF(446, 326, 108, 74));
  EXPECT_EQ(pop.popoverWindow()->geometry(), QRect(446, 400, 108, 74));
  EXPECT_EQ(f.content->geometry(), QRect(4, 20, 100, 50));
  const auto ordered = WindowRegistry::orderedWindows();
  ASSERT_GE(ordered.size(), 2);
  EXPECT_EQ(ordered[0].kind, WindowRegistry::Kind::Popover);
  EXPECT_EQ(ordered[1].window, &f.parent);
  // Displaying a visible popover changes nothing.
  pop.displayPopoverInWindow(&f.parent, {100, 100});
  EXPECT_EQ(pop.popoverWindow()->frame().topLeft(), QPointF(446, 326));
  pop.closePopover();
  EXPECT_FALSE(pop.isVisible());
  EXPECT_EQ(WindowRegistry::orderedWindows().front().window, &f.parent);
  pop.closePopover();  // closing a hidden popover does nothing
}

TEST(Popover, FadedCloseHidesAtTheEndAndRestoresAlpha) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  EXPECT_EQ(pop.popoverWindow()->alphaValue(), 0.0);
  pop.finishAnimations();
  EXPECT_EQ(pop.popoverWindow()->alphaValue(), 1.0);
  EXPECT_TRUE(pop.isVisible());
  pop.closePopover();
  EXPECT_TRUE(pop.isVisible());  // fading out still counts as visible
  pop.displayPopoverInWindow(&f.parent, {10, 10});  // ignored while fading
  pop.finishAnimations();
  EXPECT_FALSE(pop.isVisible());
  EXPECT_EQ(pop.popoverWindow()->alphaValue(), 1.0);
  pop.setAnimates(false);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  EXPECT_EQ(pop.popoverWindow()->alphaValue(), 1.0);
}

TEST(Popover, NoParentWindowMeansNotShownAndMovesKeepItHidden) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.displayPopoverInWindow(nullptr, {500, 400});
  EXPECT_FALSE(pop.isVisible());
  pop.movePopoverToPoint({200, 200});
  EXPECT_FALSE(pop.isVisible());
  EXPECT_EQ(pop.popoverWindow()->frame().topLeft(), QPointF(200 - 54, 200 - 74));
}

TEST(Popover, ChooseBestLocationAndPositionChangeKeepsTheTarget) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.setAnimates(false);
  EXPECT_EQ(pop.bestPositionInWindow(&f.parent, {990, 500}), PopoverBelowLeftward);
  pop.displayPopoverInWindow(&f.parent, {990, 500}, true);
  EXPECT_EQ(pop.position(), PopoverBelowLeftward);
  const SFBPopoverWindow* w = pop.popoverWindow();
  EXPECT_EQ(w->frame().topLeft() + w->popoverWindowFrame()->attachmentPointForRect(QRectF(QPointF(), w->frame().size())),
            QPointF(990, 500));
  pop.setPosition(PopoverLeft);
  EXPECT_EQ(w->frame().size(), QSizeF(124, 58));
  EXPECT_EQ(w->frame().topLeft() + w->popoverWindowFrame()->attachmentPointForRect(QRectF(QPointF(), w->frame().size())),
            QPointF(990, 500));
}

TEST(Popover, FocusLossClosesOnlyWhenAskedAndAfterBecomingKey) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.setAnimates(false);
  pop.setClosesWhenPopoverResignsKey(true);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  pop.windowDidResignKey();
  EXPECT_TRUE(pop.isVisible());  // never key
  pop.closePopover();
  pop.displayPopoverInWindow(&f.parent, {500, 400}, false, true);
  pop.windowDidResignKey();
  EXPECT_FALSE(pop.isVisible());
  pop.setClosesWhenApplicationBecomesInactive(true);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  pop.applicationDidResignActive();
  EXPECT_FALSE(pop.isVisible());
}

TEST(Popover, BodyIsDrawnInsideTheWindowAndTransparentBesideTheArrow) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.setBackgroundColor(Qt::red);
  QImage img(108, 74, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  pop.popoverWindow()->popoverWindowFrame()->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  EXPECT_EQ(img.pixelColor(54, 40).red(), 255);   // body
  EXPECT_EQ(img.pixelColor(5, 5).alpha(), 0);     // beside the arrow
  EXPECT_GT(img.pixelColor(54, 3).alpha(), 0);    // the arrow near its tip
}

TEST(Popover, InstallingTheSameContentViewAgainChangesNothing) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.popoverWindow()->setFrameOrigin({30, 40});
  pop.popoverWindow()->setPopoverContentView(f.content);
  EXPECT_EQ(pop.popoverWindow()->frame(), QRectF(30, 40, 108, 74));
  EXPECT_EQ(pop.popoverWindow()->popoverContentView(), f.content);
}

// A left-button drag from `from` to `to`, in the view's own (y-down) coordinates.
static void drag(QWidget* view, QPointF from, QPointF to) {
  auto send = [&](QEvent::Type type, QPointF local, Qt::MouseButtons buttons) {
    QMouseEvent e(type, local, view->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
  };
  send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  send(QEvent::MouseMove, to, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

TEST(Popover, DragBesideTheArrowMovesOnlyAMovablePopover) {
  for (bool movable : {false, true}) {
    SCOPED_TRACE(movable);
    Fixture f;
    SFBPopover pop(f.content);
    pop.setAnimates(false);
    pop.setMovable(movable);
    pop.displayPopoverInWindow(&f.parent, {500, 400});
    SFBPopoverWindowFrame* view = pop.popoverWindow()->popoverWindowFrame();
    const QRectF before = pop.popoverWindow()->frame();
    // (5, 5) in the view (y down) lies beside the arrow, outside the body path.
    drag(view, {5, 5}, {25, 15});
    // Moved right by 20 and down by 10 on screen: y up, so -10.
    EXPECT_EQ(pop.popoverWindow()->frame(), movable ? before.translated(20, -10) : before);
  }
}

TEST(Popover, ResizeDragOnTheBorderKeepsTheTopLeftAndTheMinimum) {
  Fixture f;
  SFBPopover pop(f.content);
  pop.setAnimates(false);
  pop.setResizable(true);
  pop.displayPopoverInWindow(&f.parent, {500, 400});
  SFBPopoverWindowFrame* view = pop.popoverWindow()->popoverWindowFrame();
  const QRectF before = pop.popoverWindow()->frame();
  // From the right border (inside the body, outside the content): wider by 20, taller by
  // 10 downwards.
  drag(view, {106.5, 50}, {126.5, 60});
  const QRectF after = pop.popoverWindow()->frame();
  EXPECT_EQ(after.width(), before.width() + 20);
  EXPECT_EQ(after.height(), before.height() + 10);
  EXPECT_EQ(after.y() + after.height(), before.y() + before.height());  // top edge kept
  // Shrinking below the content's minimum size grows back to it.
  drag(view, {126.5, 50}, {6.5, 50});  // the border has moved with the edge
  EXPECT_EQ(pop.popoverWindow()->contentRectForFrameRect(pop.popoverWindow()->frame()).width(), 100);
}

// The popover window sits inside its host window while shown; the main window closes on a
// lost link with the histogram popover over it, so the host can go first.
TEST(Popover, HostDeletedFirstLeavesThePopoverWhole) {
  for (bool shown : {false, true}) {
    for (bool fading : {false, true}) {
      SCOPED_TRACE(testing::Message() << "shown " << shown << " fading " << fading);
      auto* host = new QWidget;
      host->resize(600, 400);
      host->show();
      auto* content = new QWidget;
      content->resize(100, 50);
      QPointer<QWidget> contentAlive(content);
      SFBPopover pop(content);
      pop.setAnimates(fading);
      pop.displayPopoverInWindow(host, {300, 200});
      if (!shown) {
        pop.setAnimates(false);
        pop.closePopover();
      }
      delete host;
      EXPECT_FALSE(pop.isVisible());
      ASSERT_TRUE(contentAlive);  // the content lives as long as the popover
      pop.finishAnimations();
      // Still usable: shown again in another window.
      QWidget other;
      other.resize(600, 400);
      other.show();
      pop.setAnimates(false);
      pop.displayPopoverInWindow(&other, {300, 200});
      EXPECT_TRUE(pop.isVisible());
      EXPECT_EQ(pop.popoverWindow()->parentWidget(), &other);
    }
  }
}

TEST(Popover, PopoverDeletedFirstLeavesTheHostWhole) {
  QWidget host;
  host.resize(600, 400);
  host.show();
  QPointer<QWidget> content = new QWidget;
  QPointer<SFBPopoverWindow> window;
  {
    SFBPopover pop(content);
    pop.setAnimates(false);
    pop.displayPopoverInWindow(&host, {300, 200});
    window = pop.popoverWindow();
    ASSERT_EQ(window->parentWidget(), &host);
  }
  EXPECT_FALSE(window);
  EXPECT_FALSE(content);
  EXPECT_TRUE(host.findChildren<SFBPopoverWindow*>().isEmpty());
}

// The replaced view comes back to the caller (LeakSanitizer would report it otherwise);
// dropping it deletes it.
TEST(Popover, ReplacedContentViewIsHandedBack) {
  auto* first = new QWidget;
  first->resize(100, 50);
  SFBPopover pop(first);
  auto* second = new QWidget;
  second->resize(80, 40);
  std::unique_ptr<QWidget> back = pop.popoverWindow()->setPopoverContentView(second);
  EXPECT_EQ(back.get(), first);
  EXPECT_EQ(back->parent(), nullptr);
  EXPECT_EQ(pop.popoverWindow()->popoverContentView(), second);
  QPointer<QWidget> secondAlive(second);
  pop.popoverWindow()->setPopoverContentView(new QWidget);  // handed back and dropped
  EXPECT_FALSE(secondAlive);
}
