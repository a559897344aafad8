#include <gtest/gtest.h>

#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "keywords/ui/FCaptcha.h"
#include "keywords/ui/SecurityImageView.h"
#include "sim/Simulator.h"
#include "support/ModalDialogs.h"
#include "support/PictureBytes.h"
#include "support/RawHttpServer.h"
#include "support/RecordingMessages.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QImage>

using namespace quorvane;
using namespace quorvane::sim;

namespace {

const std::string kPage =
    "<p>Please enter the characters in the image</p><form action=\"/keyword-suggestion-tool.html\">"
    "<input type=\"hidden\" name=\"random\" value=\"8841\">"
    "<input type=\"hidden\" name=\"seed\" value=\"golf+clubs\">"
    "<img src=\"relative/image.png?a=1&amp;b=2\"><input name=\"password\"></form>\r\n";

class CaptchaDialogTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Child(const char* name) {
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  RecordingMessages messages;
  TfrmCaptcha dialog{messages};
};

TEST_F(CaptchaDialogTest, LooksAsTheServiceExpects) {
  EXPECT_EQ(dialog.windowTitle(), "Security image");
  EXPECT_EQ(dialog.size(), QSize(310, 209));
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
  auto* label = Child<QLabel>("lblInstruction");
  auto* view = Child<SecurityImageView>("imgSecurityImage");
  auto* edit = Child<QLineEdit>("edtPassword");
  auto* refresh = Child<QPushButton>("btnRefresh");
  auto* ok = Child<QPushButton>("btnOk");
  auto* cancel = Child<QPushButton>("btnCancel");
  ASSERT_TRUE(label && view && edit && refresh && ok && cancel);
  EXPECT_EQ(label->text(), "Please enter the characters in the image");
  EXPECT_EQ(view->size(), QSize(280, 111));
  EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(refresh->text(), "Refresh");
  EXPECT_EQ(ok->text(), "Ok");
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_EQ(TabChain(view), (std::vector<QWidget*>{view, edit, refresh, ok, cancel}));
  // Buttons from left to right in the bottom row, under everything else.
  dialog.show();
  EXPECT_LT(refresh->x(), ok->x());
  EXPECT_LT(ok->x(), cancel->x());
  EXPECT_GT(ok->y(), edit->y());
  EXPECT_LE(cancel->geometry().right(), dialog.width());
  EXPECT_LE(cancel->geometry().bottom(), dialog.height());
  dialog.hide();
}

TEST_F(CaptchaDialogTest, ValuesAreTakenFromThePageWhenShown) {
  dialog.SetPageHtml(kPage);
  const int result = ExecWith(dialog, [&] {
    TypeText(Child<QLineEdit>("edtPassword"), "x7 K");
    Child<QPushButton>("btnOk")->click();
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.RandomValue(), "8841");
  EXPECT_EQ(dialog.SeedValue(), "golf+clubs");
  EXPECT_EQ(dialog.ImageSrc(), "relative/image.png?a=1&b=2");
  EXPECT_EQ(dialog.Password(), "x7 K");
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CaptchaDialogTest, OkWithAnEmptyFieldAsksAndStaysOpen) {
  dialog.SetPageHtml(kPage);
  bool openAfterOk = false;
  const int result = ExecWith(dialog, [&] {
    Child<QPushButton>("btnOk")->click();
    openAfterOk = dialog.isVisible();
    TypeText(Child<QLineEdit>("edtPassword"), "  ");
    Child<QPushButton>("btnOk")->click();
  });
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Please enter a password."});
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.Password(), "  ");  // blanks are an answer
}

TEST_F(CaptchaDialogTest, CancelAndTheFrameBothCancelKeepingTheFields) {
  for (const bool byFrame : {false, true}) {
    TfrmCaptcha dialog(messages);
    dialog.SetPageHtml(kPage);
    const int result = ExecWith(dialog, [&] {
      TypeText(dialog.findChild<QLineEdit*>("edtPassword"), "abc");
      if (byFrame) {
        dialog.close();
      } else {
        dialog.findChild<QPushButton*>("btnCancel")->click();
      }
    });
    EXPECT_EQ(result, QDialog::Rejected) << byFrame;
    EXPECT_EQ(dialog.Password(), "abc") << byFrame;
    EXPECT_EQ(dialog.RandomValue(), "8841") << byFrame;
  }
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CaptchaDialogTest, EnterPressesNothing) {
  dialog.SetPageHtml(kPage);
  bool stillOpen = false;
  const int result = ExecWith(dialog, [&] {
    auto* edit = Child<QLineEdit>("edtPassword");
    TypeText(edit, "abc");
    PressKey(edit, Qt::Key_Return);
    PressKey(edit, Qt::Key_Enter);
    for (const char* name : {"btnOk", "btnRefresh"}) {
      PressKey(Child<QPushButton>(name), Qt::Key_Return);
    }
    stillOpen = dialog.isVisible();
    Child<QPushButton>("btnCancel")->click();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CaptchaDialogTest, RefreshWithoutAnImageIsQuiet) {
  dialog.SetPageHtml("<html>no fields</html>");
  const int result = ExecWith(dialog, [&] {
    Child<QPushButton>("btnRefresh")->click();
    Child<QPushButton>("btnRefresh")->click();
    Child<QPushButton>("btnCancel")->click();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(dialog.RandomValue(), "");
  EXPECT_EQ(dialog.SeedValue(), "");
  EXPECT_FALSE(Child<SecurityImageView>("imgSecurityImage")->HasImage());
  EXPECT_TRUE(messages.Shown().empty());
}

// The outcome of the next load of `view`, or nothing when none ends in time.
std::optional<bool> NextLoad(SecurityImageView* view) {
  QEventLoop loop;
  std::optional<bool> outcome;
  QObject::connect(view, &SecurityImageView::LoadFinished, &loop, [&](bool ok) {
    outcome = ok;
    loop.quit();
  });
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  return outcome;
}

std::string PageWithImage(const std::string& src) {
  return "<p>Please enter the characters in the image</p>"
         "<input type=\"hidden\" name=\"random\" value=\"r1\">"
         "<input type=\"hidden\" name=\"seed\" value=\"golf\"><img src=\"" +
         src + "\">";
}

class CaptchaImageTest : public CaptchaDialogTest {
 protected:
  void SetUp() override { sim.Start(0); }
  void TearDown() override {
    dialog.hide();
    sim.Stop();
  }
  Simulator sim;
};

TEST_F(CaptchaImageTest, LoadsTheImageItselfAndAgainOnRefresh) {
  dialog.SetPageHtml(PageWithImage(sim.BaseUrl() + "/captcha.png?random=r1&amp;x=1"));
  auto* view = Child<SecurityImageView>("imgSecurityImage");
  dialog.show();
  EXPECT_EQ(NextLoad(view), std::optional<bool>(true));
  EXPECT_TRUE(view->HasImage());

  Child<QPushButton>("btnRefresh")->click();
  EXPECT_EQ(NextLoad(view), std::optional<bool>(true));

  const auto requests = sim.Requests(SimService::kSecurityImage);
  ASSERT_EQ(requests.size(), 2u);
  for (const auto& r : requests) EXPECT_EQ(r.target, "/captcha.png?random=r1&x=1");
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CaptchaImageTest, AnImageThatCannotBeHadLeavesThePlaceholderQuietly) {
  const std::string sources[] = {
      sim.BaseUrl() + "/no-such-image.png",  // 404
      sim.BaseUrl() + "/search?q=x",         // a page, not an image
  };
  for (const auto& src : sources) {
    TfrmCaptcha dialog(messages);
    dialog.SetPageHtml(PageWithImage(src));
    auto* view = dialog.findChild<SecurityImageView*>("imgSecurityImage");
    dialog.show();
    EXPECT_EQ(NextLoad(view), std::optional<bool>(false)) << src;
    EXPECT_FALSE(view->HasImage()) << src;
    dialog.findChild<QPushButton*>("btnRefresh")->click();
    EXPECT_EQ(NextLoad(view), std::optional<bool>(false)) << src;
    EXPECT_TRUE(dialog.isVisible());
  }
  EXPECT_TRUE(messages.Shown().empty());
}

// The image address comes from a page off the network: inline data is
// shown, a local file never is, whatever the page names.
TEST_F(CaptchaDialogTest, OnlyWebAddressesAndInlineDataAreLoaded) {
  TempFolder folder;
  folder.Write("image.png", PictureBytes("PNG"));
  const std::string fileUrl =
      QUrl::fromLocalFile(QString::fromStdString(folder.File("image.png").string()))
          .toString()
          .toStdString();
  const std::string dataUrl =
      "data:image/png;base64," +
      QByteArray::fromStdString(PictureBytes("PNG")).toBase64().toStdString();
  const struct {
    std::string src;
    bool shown;
  } cases[] = {
      {dataUrl, true},
      {fileUrl, false},
      {"file:///dev/zero", false},
      {"qrc:/qt-project.org/styles/commonstyle/images/standardbutton-ok-16.png", false},
      {"ftp://127.0.0.1:1/image.png", false},
  };
  for (const auto& c : cases) {
    TfrmCaptcha dialog(messages);
    dialog.SetPageHtml(PageWithImage(c.src));
    auto* view = dialog.findChild<SecurityImageView*>("imgSecurityImage");
    dialog.show();
    if (!view->Loading()) {
      EXPECT_FALSE(c.shown) << c.src;
    } else {
      EXPECT_EQ(NextLoad(view), std::optional<bool>(c.shown)) << c.src;
    }
    EXPECT_EQ(view->HasImage(), c.shown) << c.src;
  }
  EXPECT_TRUE(messages.Shown().empty());
}

// A reply far larger than any security image is cut, not held in memory:
// whether it announces its length or just keeps sending.
TEST_F(CaptchaDialogTest, AnOversizedReplyIsCutAndLeavesThePlaceholder) {
  const std::string body(6 * 1024 * 1024, 'x');
  const std::string heads[] = {
      "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 600000000\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n\r\n",
  };
  for (const auto& head : heads) {
    RawHttpServer server([&](const RawHttpServer::Request&) {
      return RawHttpServer::Reply().Send(head + body).Hold();
    });
    TfrmCaptcha dialog(messages);
    dialog.SetPageHtml(PageWithImage(server.Url("/huge.png")));
    auto* view = dialog.findChild<SecurityImageView*>("imgSecurityImage");
    dialog.show();
    EXPECT_EQ(NextLoad(view), std::optional<bool>(false)) << head;
    EXPECT_FALSE(view->HasImage());
    EXPECT_FALSE(view->Loading());
    EXPECT_TRUE(server.WaitForClientCloses(1, std::chrono::seconds(5))) << head;
  }
}

}  // namespace
