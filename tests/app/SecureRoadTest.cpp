// The user's whole road over https: Gather Keywords through the security
// image, Gather Data precise and broad, Check News and the live update,
// against local servers whose certificates the case's own authority signs.
// Inside TLS every request carries the bytes it carries over plain http;
// a certificate that does not verify ends each request with its reason in
// the status bar, and nothing is written or kept.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <regex>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/SecurityImageView.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/LastNewsId.h"
#include "sim/SearchPages.h"
#include "sim/SimText.h"
#include "sim/SuggestionPages.h"
#include "support/CertificateFaults.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"
#include "support/PictureBytes.h"
#include "support/ServiceServer.h"

using namespace quorvane;

namespace {

using Answer = MessageBox::Answer;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;
using Strings = std::vector<std::string>;

const std::string kCompleted = "Process completed sucessfull!";
const std::string kOffer =
    "There is a new update: (version 2.5) available for your application!. Do you want download "
    "this update now?";

class SecureRoadTest : public MainWindowFixture {
 protected:
  // Scripts every service of `services` for the road.
  static void ServeTheRoad(ServiceServer& services) {
    const std::string base = services.Raw().Url("");
    services.Serve("suggest", RawHttpServer::Respond(
                                  200,
                                  "<p>Please enter the characters in the image</p>"
                                  "<input type=\"hidden\" name=\"random\" value=\"r1\">"
                                  "<input type=\"hidden\" name=\"seed\" value=\"golf clubs\">"
                                  "<img src=\"" +
                                      base + "/image?r=1\">",
                                  "Set-Cookie: visitor=42; Path=/\r\n"));
    services.Serve("image", RawHttpServer::Respond(200, PictureBytes("PNG", 60, 20),
                                                   "Content-Type: image/png\r\n"));
    services.Serve("answer", RawHttpServer::Respond(
                                 200,
                                 "<table><tfoot><tr><td>Count</td></tr></tfoot><tbody>\r\n"
                                 "<tr><td>1,120</td><td><a href=\"/k\">golf balls</a></td></tr>\r\n"
                                 "</tbody></table>\r\n"));
    services.Serve("google",
                   RawHttpServer::Respond(200, "<font size=-1>Results 1 of about <b>1,230</b>"));
    services.Serve("yahoo", RawHttpServer::Respond(200, "\"infotext\">1 - 10 of 456 for golf"));
    services.Serve("msn",
                   RawHttpServer::Respond(200, "<span id=\"count\">1-10 of 789 results</span>"));
    services.Serve("list", RawHttpServer::Respond(200, "9^Spring offer^2024-03-01\xAFOK"));
    services.Serve("details", RawHttpServer::Respond(200, "<p>Spring</p>\xAFOK"));
    services.Serve("update", RawHttpServer::Respond(200, "[APPLICATION]\r\nVersion=2.5\r\n"));
  }

  // The road through the window; `imageShown` tells whether the security
  // image arrived (over https: loaded by Qt, checked against the same
  // authority).
  void WalkTheRoad(bool& imageShown) {
    SetMainKeyword("golf clubs");
    WhenModalOpens([&imageShown](QWidget* dialog) {
      auto* view = dialog->findChild<SecurityImageView*>();
      imageShown = view != nullptr && QTest::qWaitFor([view] { return view->HasImage(); }, 5000);
      Child<QLineEdit>(dialog, "edtPassword")->setText("qv7k");
      Child<QPushButton>(dialog, "btnOk")->click();
    });
    window_->btnGatherKeywordClick();
    for (const bool broad : {false, true}) {
      WhenModalOpens([broad](QWidget* dialog) {
        if (broad) Child<QRadioButton>(dialog, "rbBroad")->click();
        Child<QPushButton>(dialog, "btnOk")->click();
      });
      window_->btnGatherDataClick();
    }
    WhenModalOpens([](QWidget* dialog) {
      auto* news = qobject_cast<TfrmNews*>(dialog);
      ASSERT_NE(news, nullptr);
      news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(0));
      news->btnExit->click();
    });
    window_->btnNewsClick();
    MessageBox::SetNextAnswer(Answer::Cancel);
    window_->btnUpdateClick();
  }

  void CheckTheRoadsOutcome(bool imageShown) {
    EXPECT_TRUE(imageShown) << "the security image did not arrive";
    EXPECT_EQ(Row(0), (Strings{"1", "golf balls", "1,120", "1,230", "456", "789"}));
    EXPECT_EQ(Status(), kCompleted);
    EXPECT_EQ(ReadLastNewsId(), "9");
    ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
    EXPECT_EQ(MessageBox::ShownBoxes()[0].text, kOffer);
    EXPECT_FALSE(program_.Exists("test.html"));
  }
};

// The request with the Host line's port and a form's boundary (the local
// time it was built at) written neutrally, to compare two roads.
std::string Neutral(const Request& r, int port) {
  std::string bytes = r.bytes;
  const std::string host = "127.0.0.1:" + std::to_string(port);
  for (auto at = bytes.find(host); at != std::string::npos; at = bytes.find(host))
    bytes.replace(at, host.size(), "HOST");
  return std::regex_replace(bytes, std::regex("--------[0-9]{15}"), "BOUNDARY");
}

TEST_F(SecureRoadTest, OverHttpsEveryRequestCarriesTheBytesItCarriesOverHttp) {
  std::vector<std::vector<Request>> roads;
  std::vector<int> ports;
  for (const Scheme scheme : {Scheme::kHttp, Scheme::kHttps}) {
    SCOPED_TRACE(scheme == Scheme::kHttp ? "http" : "https");
    ServiceServer services(scheme == Scheme::kHttps ? std::optional(LoopbackCertificate())
                                                    : std::nullopt);
    ServeTheRoad(services);
    NewsBrand("acme-gold", "ACME-1")
        .WriteSettingsFile(program_.Path(), services.Raw().Url("/news/"));
    MessageBox::ResetTestState();
    OpenWindow(WindowOptions().At(services.Endpoints()).Shown());
    bool imageShown = false;
    WalkTheRoad(imageShown);
    CheckTheRoadsOutcome(imageShown);
    window_.reset();
    std::vector<Request> requests;
    for (const auto& r : services.Raw().Requests())
      if (ServiceOf(r) != "image") requests.push_back(r);  // Qt's own request
    roads.push_back(requests);
    ports.push_back(services.Raw().Port());
  }
  ASSERT_EQ(roads[0].size(), 11u);
  ASSERT_EQ(roads[1].size(), roads[0].size());
  for (std::size_t i = 0; i < roads[0].size(); ++i) {
    SCOPED_TRACE(roads[0][i].target);
    EXPECT_EQ(Neutral(roads[1][i], ports[1]), Neutral(roads[0][i], ports[0]));
  }
  // As sent over https, byte for byte: a page and a news form.
  const std::string head = "Host: 127.0.0.1:" + std::to_string(ports[1]) +
                           "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)\r\n";
  EXPECT_EQ(roads[1][2].bytes, "GET /search?q=%22golf+balls%22 HTTP/1.1\r\n" + head +
                                   "Cookie: visitor=42\r\nAccept: text/html, */*\r\n"
                                   "Content-Type: text/html\r\n\r\n");
  const Request& list = roads[1][8];
  const std::smatch boundary = [&list] {
    std::smatch m;
    std::regex_search(list.bytes, m, std::regex("boundary=(--------[0-9]{15})"));
    return m;
  }();
  ASSERT_FALSE(boundary.empty());
  const std::string b = boundary[1];
  std::string form;
  for (const auto& [name, value] :
       std::vector<std::pair<std::string, std::string>>{{"memusername", "acme-gold"},
                                                        {"prodcode", "ACME-1"},
                                                        {"prodtype", "BG"},
                                                        {"conttype", "all"},
                                                        {"newstarget", "UA"},
                                                        {"something", ""}})
    form += "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
            "\r\n";
  form += "\r\n--" + b + "--\r\n";
  EXPECT_EQ(list.bytes, "POST /news/getlastnews.php HTTP/1.0\r\n" + head +
                            "Cookie: visitor=42\r\nAccept: text/html, */*\r\n"
                            "Content-Type: multipart/form-data; boundary=" +
                            b + "\r\nConnection: keep-alive\r\nContent-Length: " +
                            std::to_string(form.size()) + "\r\n\r\n" + form);
}

// The same road against the bundled simulator serving https.
TEST_F(SecureRoadTest, TheSimulatorServesTheWholeRoadOverHttps) {
  const NewsBrand news =
      NewsBrand("acme-gold", "ACME-1").Items({{9, "Spring offer", "2024-03-01", "<p>Spring</p>"}});
  StartSimulator(Scheme::kHttps);
  ASSERT_TRUE(sim_.BaseUrl().starts_with("https://"));
  sim::Scenario scenario = news.Scenario();
  scenario.suggest.securityImage = sim::SecurityImageMode::kFirst;
  scenario.update.version = "2.5";
  sim_.SetScenario(scenario);
  news.WriteSettingsFile(program_.Path(), sim_.BaseUrl() + "/news/");
  OpenWindow(WindowOptions().Shown());
  bool imageShown = false;
  WalkTheRoad(imageShown);
  EXPECT_TRUE(imageShown);
  const auto expected = sim::SuggestionsFor("golf clubs", 12);
  ASSERT_EQ(window_->Results().RowCount(), 12);
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords), expected[0].phrase);
  // Broad last: its counts stand in the cells.
  EXPECT_EQ(window_->Results().Cell(0, kColGoogle),
            sim::FormatThousands(sim::ResultCount(sim::Engine::kGoogle, expected[0].phrase, "")));
  EXPECT_EQ(sim_.Requests(sim::SimService::kGoogle).size(), 24u);
  EXPECT_EQ(sim_.Requests(sim::SimService::kNewsDetails).size(), 1u);
  EXPECT_EQ(ReadLastNewsId(), "9");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, kOffer);
  EXPECT_FALSE(program_.Exists("test.html"));
}

// --- Certificates that do not verify.

class SecureRoadCertificateTest : public SecureRoadTest,
                                  public ::testing::WithParamInterface<CertificateFault> {
 protected:
  TempFolder strangers_;
  TestAuthority stranger_{strangers_.Path()};
};

TEST_P(SecureRoadCertificateTest, EveryCommandEndsWithTheReasonAndNothingIsKept) {
  ServiceServer services(FaultyTls(GetParam(), Authority(), stranger_, "faulty"));
  ServeTheRoad(services);
  NewsBrand("acme-gold", "ACME-1")
      .Marker("5")
      .WriteSettingsFile(program_.Path(), services.Raw().Url("/news/"));
  program_.Write("mainappupdate.inf", "[APPLICATION]\r\nVersion=9.0\r\n");  // from a check before
  OpenWindow(WindowOptions().At(services.Endpoints()).Shown());
  const std::string refused = "Secure connection to 127.0.0.1 refused: " + GetParam().reason + ".";

  SetMainKeyword("golf clubs");
  window_->btnGatherKeywordClick();
  EXPECT_EQ(Status(), refused);
  EXPECT_EQ(window_->Results().RowCount(), 0);

  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnNewsClick();
  EXPECT_EQ(Status(), refused);
  EXPECT_EQ(ReadLastNewsId(), "5");

  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_EQ(Status(), refused);
  EXPECT_FALSE(program_.Exists("mainappupdate.inf")) << "the old descriptor was kept";

  // The start-up check: no notice, no descriptor, no box.
  const auto boxes = MessageBox::ShownBoxes().size();
  window_->Timer1Timer();
  EXPECT_EQ(window_->Publisher().Balloon(), nullptr);
  EXPECT_FALSE(program_.Exists("mainappupdate.inf"));
  EXPECT_EQ(MessageBox::ShownBoxes().size(), boxes);
  EXPECT_EQ(ReadLastNewsId(), "5");

  EXPECT_FALSE(program_.Exists("test.html"));
  EXPECT_EQ(services.Raw().RequestCount(), 0u) << "a request went out";
}

INSTANTIATE_TEST_SUITE_P(Certificates, SecureRoadCertificateTest,
                         ::testing::ValuesIn(CertificateFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

// The security image comes through Qt's own network access: it checks the
// certificate too, against the same authorities as the client.
TEST_F(SecureRoadTest, TheSecurityImageFromAnUntrustedServerIsNotShown) {
  TempFolder strangers;
  const TestAuthority stranger(strangers.Path());
  const auto issued = stranger.Issue("image", {"127.0.0.1"});
  RawHttpServer images(
      [](const Request&) {
        return RawHttpServer::Respond(200, PictureBytes("PNG"), "Content-Type: image/png\r\n");
      },
      RawHttpServer::Tls{issued.certificate, issued.key});
  RawHttpServer trusted(
      [](const Request&) {
        return RawHttpServer::Respond(200, PictureBytes("PNG"), "Content-Type: image/png\r\n");
      },
      LoopbackCertificate());
  SecurityImageView view;
  view.TrustAuthority(Authority().CertificateFile().string());
  for (const auto& [server, shown] :
       std::vector<std::pair<RawHttpServer*, bool>>{{&images, false}, {&trusted, true}}) {
    bool finished = false;
    bool ok = false;
    const auto connection =
        QObject::connect(&view, &SecurityImageView::LoadFinished, [&](bool loaded) {
          finished = true;
          ok = loaded;
        });
    view.Navigate(QUrl(QString::fromStdString(server->Url("/image"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 10000));
    QObject::disconnect(connection);
    EXPECT_EQ(ok, shown) << server->Url("/image");
    EXPECT_EQ(server->RequestCount(), shown ? 1u : 0u);
  }
}

}  // namespace
