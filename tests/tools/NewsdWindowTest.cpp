// A branded copy's whole news and update road against the publisher's own
// service (quorvane-newsd's server) instead of the simulator: the real main
// window on the offscreen platform, its settings file in a temporary
// program folder, the service serving a content folder the test edits.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/NewsBalloon.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/LastNewsId.h"
#include "support/HostedNewsService.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"

using namespace quorvane;

namespace {

using Answer = MessageBox::Answer;
using Kind = MessageBox::Kind;

std::string Offer(const std::string& version) {
  return "There is a new update: (version " + version +
         ") available for your application!. Do you want download this update now?";
}

class NewsdWindowTest : public MainWindowFixture {
 protected:
  NewsdWindowTest() {
    service_.AddItem(101, "Spring offer", "2026-03-01", "<p>Spring: 20% off, $9 ^ up</p>");
    service_.AddItem(102, "New tutorial", "2026-03-10", "<h1>Tutorial</h1><p>Step one</p>");
    service_.Publish("2.1");
    service_.Start();
    NewsBrand("acme-gold", "ACME-1")
        .Name("Acme Keywords")
        .WriteSettingsFile(program_.Path(), service_.BaseUrl() + "/acme/news/");
  }

  // A window of the copy, shown, its start-up tick (news check, then the
  // silent update check) run. The update offer is declined.
  std::unique_ptr<TfrmMain> StartedWindow() {
    ServiceEndpoints endpoints = LoopbackEndpoints();
    endpoints.liveUpdateBase = service_.BaseUrl() + "/liveupdate/quorvane/";
    MessageBox::SetNextAnswer(Answer::Cancel);
    auto window = NewWindow(WindowOptions().At(endpoints).WithStartUpTick().Shown());
    for (int i = 0; i < 500 && window->Timer1().isActive(); ++i) QTest::qWait(10);
    for (int i = 0; i < 500 && MessageBox::PendingAnswers() > 0; ++i) QTest::qWait(10);
    EXPECT_FALSE(window->Timer1().isActive());
    return window;
  }

  // The notice's text as it reads to a screen reader: its two lines.
  static QString Notice(TfrmMain& window) {
    NewsBalloon* balloon = window.Publisher().Balloon();
    return balloon != nullptr && balloon->isVisible() ? balloon->accessibleName() : QString();
  }

  HostedNewsService service_{{"acme-gold"}, {"ACME-1"}};
};

TEST_F(NewsdWindowTest, NoticeUpdateOfferNewsListAndBodiesComeFromTheService) {
  auto window = StartedWindow();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Acme Keywords v2.0"));
  EXPECT_EQ(Notice(*window), QStringLiteral("You've Got A Message!\nNew tutorial"));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Confirm);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, Offer("2.1"));
  EXPECT_EQ(program_.Read("mainappupdate.inf"),
            "[APPLICATION]\r\nName=Acme Keywords\r\nVersion=2.1\r\n");
  QTest::keyClick(window.get(), Qt::Key_Escape);  // closes the notice

  bool opened = false;
  WhenModalOpens([&](QWidget* dialog) {
    auto* news = qobject_cast<TfrmNews*>(dialog);
    ASSERT_NE(news, nullptr);
    opened = true;
    ASSERT_EQ(news->lvwItems->topLevelItemCount(), 2);
    EXPECT_EQ(news->lvwItems->topLevelItem(0)->text(0), QStringLiteral("New tutorial"));
    EXPECT_EQ(news->lvwItems->topLevelItem(0)->text(1), QStringLiteral("2026-03-10"));
    EXPECT_EQ(news->lvwItems->topLevelItem(1)->text(0), QStringLiteral("Spring offer"));
    news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(1));
    EXPECT_EQ(news->prfEditorNews->toPlainText(), QStringLiteral("Spring: 20% off, $9 ^ up"));
    EXPECT_EQ(ReadLastNewsId(), "101");
    news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(0));
    EXPECT_TRUE(news->prfEditorNews->toPlainText().startsWith(QStringLiteral("Tutorial")));
    EXPECT_EQ(ReadLastNewsId(), "102");
    news->btnExit->click();
  });
  window->btnNewsClick();
  EXPECT_TRUE(opened);
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u) << "no box besides the update offer";

  // Everything read: the next start announces nothing.
  window.reset();
  window = StartedWindow();
  EXPECT_EQ(Notice(*window), QString());
}

TEST_F(NewsdWindowTest, AnItemAddedWhileTheServiceRunsIsAnnouncedAtTheNextStart) {
  SaveLastNewsId("102");
  auto window = StartedWindow();
  EXPECT_EQ(Notice(*window), QString());
  window.reset();

  service_.AddItem(103, "Summer sale", "2026-06-01", "<p>Summer</p>");
  ASSERT_TRUE(service_.WaitForNewest("103"));
  window = StartedWindow();
  EXPECT_EQ(Notice(*window), QStringLiteral("You've Got A Message!\nSummer sale"));

  // A newer release published the same way is offered at the next check.
  service_.Publish("2.2");
  for (int i = 0; i < 500 && service_.Server().Content()->descriptors.at("quorvane").find("2.2") ==
                                 std::string::npos;
       ++i) {
    QTest::qWait(10);
  }
  MessageBox::ResetTestState();
  window->Timer1().stop();
  MessageBox::SetNextAnswer(Answer::Cancel);
  window->btnUpdateClick();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, Offer("2.2"));
}

TEST_F(NewsdWindowTest, AServiceThatRefusesThePublisherIsReportedAsTheProgramReportsIt) {
  NewsBrand("acme-old", "ACME-1")
      .Name("Acme Keywords")
      .WriteSettingsFile(program_.Path(), service_.BaseUrl() + "/acme/news/");
  auto window = StartedWindow();
  EXPECT_EQ(Notice(*window), QString()) << "the background check stays silent";
  MessageBox::ResetTestState();
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  window->btnNewsClick();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "There is a trouble with the Publisher Id. Contact your provider.");
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text, "There's no news for this application!");
}

}  // namespace
