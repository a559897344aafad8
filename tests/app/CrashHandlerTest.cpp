// The unexpected-error handler under the program's own application object:
// errors escaping event handlers and guarded steps are shown and the
// program runs on.
//
// This binary has its own main() (below), because the handler needs a
// QuorvaneApplication rather than the plain QApplication of the other
// widget tests; the linker then leaves gtest_main's main() unused.
#include "base/ui/CrashHandler.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>
#include <stdexcept>

#include "app/ui/QuorvaneApplication.h"
#include "base/ui/MessageBox.h"
#include "support/GuiFixture.h"

using namespace quorvane;

namespace {

const QEvent::Type kThrowingEvent = static_cast<QEvent::Type>(QEvent::User + 1);

// An object whose handler for one event type throws.
class Faulty : public QObject {
 public:
  int handled = 0;

  bool event(QEvent* e) override {
    if (e->type() != kThrowingEvent) return QObject::event(e);
    ++handled;
    throw std::runtime_error("handler failed");
  }
};

class CrashHandlerTest : public GuiFixture {};

TEST_F(CrashHandlerTest, AnErrorEscapingAnEventHandlerIsShownAndTheLoopRunsOn) {
  Faulty faulty;
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  QCoreApplication::postEvent(&faulty, new QEvent(kThrowingEvent));
  bool later = false;
  QTimer::singleShot(20, [&] {
    later = true;
    QCoreApplication::exit(0);
  });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_EQ(faulty.handled, 1);
  EXPECT_TRUE(later) << "events after the failure are still delivered";
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Warning);
  EXPECT_NE(MessageBox::ShownBoxes()[0].text.find("handler failed"), std::string::npos);
}

TEST_F(CrashHandlerTest, ASentEventThatThrowsReturnsToTheSender) {
  Faulty faulty;
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  QEvent event(kThrowingEvent);
  EXPECT_FALSE(QCoreApplication::sendEvent(&faulty, &event));
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u);
}

TEST_F(CrashHandlerTest, GuardReportsAndGoesOn) {
  MessageBox owner(nullptr);
  CrashHandler::SetMessages(&owner);
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  int after = 0;
  CrashHandler::Guard([] { throw std::out_of_range("row 7 does not exist"); });
  ++after;
  CrashHandler::Guard([] { throw 42; });
  ++after;
  CrashHandler::SetMessages(nullptr);
  EXPECT_EQ(after, 2);
  const auto& shown = MessageBox::ShownBoxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].text.find("row 7 does not exist"), std::string::npos);
  EXPECT_NE(shown[1].text.find("unknown error"), std::string::npos);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QuorvaneApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
