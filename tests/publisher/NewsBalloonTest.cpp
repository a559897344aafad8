// The news notice balloon: where it stands beside the News button near
// each screen edge, and how the next input closes it and is spent doing so.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "publisher/ui/NewsBalloon.h"

using namespace quorvane;

namespace {

using Placement = NewsBalloon::Placement;

TEST(NewsBalloonPlacementTest, TriesTheFourPlacementsInOrder) {
  const QRect screen(0, 0, 800, 600);
  const QSize size(120, 60);  // shape 116 x 56 plus the shadow
  struct Case {
    QPoint anchor;
    Placement placement;
    QPoint topLeft;
  };
  const Case cases[] = {
      // Room everywhere: below and to the left, right edge 3 left of the anchor.
      {{400, 300}, Placement::BelowLeft, {400 - 3 - 116, 301}},
      // Too close to the left edge: below and to the right.
      {{50, 300}, Placement::BelowRight, {56, 301}},
      // Too close to the bottom: above and to the left.
      {{400, 580}, Placement::AboveLeft, {400 - 1 - 116, 580 - 1 - 56}},
      // Bottom-left corner: above and to the right.
      {{30, 580}, Placement::AboveRight, {31, 580 - 1 - 56}},
      // Top-right corner: below-left still fits.
      {{790, 5}, Placement::BelowLeft, {790 - 3 - 116, 6}},
      // Exactly fitting at the left edge.
      {{119, 300}, Placement::BelowLeft, {0, 301}},
      {{118, 300}, Placement::BelowRight, {124, 301}},
  };
  for (const auto& c : cases) {
    QPoint topLeft;
    EXPECT_EQ(NewsBalloon::ChoosePlacement(c.anchor, size, screen, &topLeft), c.placement)
        << c.anchor.x() << "," << c.anchor.y();
    EXPECT_EQ(topLeft, c.topLeft) << c.anchor.x() << "," << c.anchor.y();
  }
}

TEST(NewsBalloonPlacementTest, UsesTheLastPlacementWhenNoneFits) {
  QPoint topLeft;
  EXPECT_EQ(NewsBalloon::ChoosePlacement({50, 40}, {120, 60}, QRect(0, 0, 100, 80), &topLeft),
            Placement::AboveRight);
  EXPECT_EQ(topLeft, QPoint(51, 40 - 1 - 56));
}

class NewsBalloonWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.setObjectName(QStringLiteral("frmMain"));
    auto* layout = new QVBoxLayout(&window_);
    edit_ = new QLineEdit;
    button_ = new QPushButton(QStringLiteral("Check News"));
    layout->addWidget(edit_);
    layout->addWidget(button_);
    window_.resize(200, 100);
    window_.show();
    window_.activateWindow();
    edit_->setFocus();
    QApplication::processEvents();
  }

  QPointer<NewsBalloon> Show(const QString& text = QStringLiteral("You've Got A Message!\r\nNew")) {
    QPointer<NewsBalloon> balloon = new NewsBalloon(text);
    balloon->ShowAt(button_->mapToGlobal(QPoint(button_->width() / 2, button_->height() / 2)));
    QApplication::processEvents();
    return balloon;
  }

  static bool Closed(const QPointer<NewsBalloon>& balloon) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return balloon.isNull() || !balloon->isVisible();
  }

  QWidget window_;
  QLineEdit* edit_ = nullptr;
  QPushButton* button_ = nullptr;
};

TEST_F(NewsBalloonWindowTest, StandsBesideTheButtonNearEachScreenEdge) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  struct Case {
    QPoint windowPos;  // top-left of the window holding the button
    Placement placement;
  };
  const Case cases[] = {
      {screen.center(), Placement::BelowLeft},
      {{screen.left(), screen.center().y()}, Placement::BelowRight},
      {{screen.center().x(), screen.bottom() - 100}, Placement::AboveLeft},
      {{screen.left(), screen.bottom() - 100}, Placement::AboveRight},
      {{screen.right() - 200, screen.top()}, Placement::BelowLeft},
  };
  for (const auto& c : cases) {
    window_.move(c.windowPos);
    QApplication::processEvents();
    const QPoint anchor = button_->mapToGlobal(QPoint(button_->width() / 2, button_->height() / 2));
    auto balloon = Show();
    ASSERT_TRUE(balloon);
    EXPECT_EQ(balloon->placement(), c.placement) << c.windowPos.x() << "," << c.windowPos.y();
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_TRUE(screen.contains(balloon->frameGeometry()));
    const QRect shape =
        balloon->geometry().adjusted(0, 0, -NewsBalloon::kShadowDepth, -NewsBalloon::kShadowDepth);
    switch (c.placement) {
      case Placement::BelowLeft:
        EXPECT_EQ(shape.left() + shape.width(), anchor.x() - 3);
        EXPECT_EQ(shape.top(), anchor.y() + 1);
        break;
      case Placement::BelowRight:
        EXPECT_EQ(shape.left(), anchor.x() + 6);
        EXPECT_EQ(shape.top(), anchor.y() + 1);
        break;
      case Placement::AboveLeft:
        EXPECT_EQ(shape.left() + shape.width(), anchor.x() - 1);
        EXPECT_EQ(shape.top() + shape.height(), anchor.y() - 1);
        break;
      case Placement::AboveRight:
        EXPECT_EQ(shape.left(), anchor.x() + 1);
        EXPECT_EQ(shape.top() + shape.height(), anchor.y() - 1);
        break;
    }
    EXPECT_TRUE(balloon->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(balloon->mask().isEmpty());
    balloon->close();
    EXPECT_TRUE(Closed(balloon));
  }
}

TEST_F(NewsBalloonWindowTest, MouseMoveKeepsItOpenAndKeyPressClosesItUnseen) {
  auto balloon = Show();
  QTest::mouseMove(button_);
  QTest::mouseMove(&window_, QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_FALSE(Closed(balloon));
  EXPECT_FALSE(QApplication::focusWidget() != edit_ && QApplication::focusWidget() != nullptr)
      << "the balloon must not take the focus";

  QTest::keyClick(edit_, Qt::Key_A);
  EXPECT_TRUE(Closed(balloon));
  EXPECT_EQ(edit_->text(), QString());

  QTest::keyClick(edit_, Qt::Key_B);
  EXPECT_EQ(edit_->text(), QStringLiteral("b"));
}

TEST_F(NewsBalloonWindowTest, MouseClickClosesItWithoutClickingTheButton) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  auto balloon = Show();
  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_TRUE(Closed(balloon));
  EXPECT_EQ(clicks.count(), 0);

  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(NewsBalloonWindowTest, ClickOnTheBalloonItselfClosesIt) {
  auto balloon = Show();
  QTest::mouseClick(balloon.data(), Qt::LeftButton, {}, QPoint(20, 30));
  EXPECT_TRUE(Closed(balloon));
}

TEST_F(NewsBalloonWindowTest, WheelAndShortcutKeysAreSpentToo) {
  auto balloon = Show();
  QWheelEvent wheel(QPointF(5, 5), QPointF(button_->mapToGlobal(QPoint(5, 5))), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(button_, &wheel);
  EXPECT_TRUE(Closed(balloon));

  // A key that is the button's shortcut must not press the button.
  button_->setShortcut(QKeySequence(Qt::Key_F5));
  QSignalSpy clicks(button_, &QPushButton::clicked);
  balloon = Show();
  QTest::keyClick(edit_, Qt::Key_F5);
  EXPECT_TRUE(Closed(balloon));
  QTest::qWait(300);  // a shortcut presses the button with a short animation
  EXPECT_EQ(clicks.count(), 0);
  QTest::keyClick(edit_, Qt::Key_F5);
  EXPECT_TRUE(clicks.wait(2000));
}

TEST_F(NewsBalloonWindowTest, ActivationChangeClosesIt) {
  auto balloon = Show();
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(&window_, &deactivate);
  EXPECT_TRUE(Closed(balloon));
}

TEST_F(NewsBalloonWindowTest, GoesWithItsOwnerWindow) {
  QPointer<NewsBalloon> balloon = new NewsBalloon(QStringLiteral("text"), &window_);
  balloon->ShowAt(QPoint(300, 300));
  QApplication::processEvents();
  ASSERT_FALSE(Closed(balloon));
  window_.close();
  EXPECT_TRUE(Closed(balloon));
}

TEST_F(NewsBalloonWindowTest, ShowsBothLinesEvenWithAnEmptyTitle) {
  NewsBalloon twoLines(QStringLiteral("You've Got A Message!\r\n"));
  NewsBalloon oneLine(QStringLiteral("You've Got A Message!"));
  EXPECT_GT(twoLines.height(), oneLine.height());
}

}  // namespace
