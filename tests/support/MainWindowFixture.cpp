#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/ui/DesktopSettings.h"
#include "app/ui/ResultsModel.h"
#include "base/ResultsTable.h"
#include "support/LoopbackEndpoints.h"
#include "support/SettingsText.h"

namespace quorvane {

MainWindowFixture::MainWindowFixture() {
  DesktopSettings settings;
  settings.Clear();
  settings.Sync();
}

MainWindowFixture::~MainWindowFixture() {
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a dialog was left open";
  window_.reset();
  sim_.Stop();
  services_.reset();
  qApp->setStyleSheet(QString());
  QApplication::setWindowIcon(QIcon());
}

sim::Simulator& MainWindowFixture::StartSimulator(Scheme scheme) {
  if (scheme == Scheme::kHttps) {
    const RawHttpServer::Tls tls = LoopbackCertificate();
    sim_.Start(0, sim::Simulator::Tls{tls.certificate, tls.key});
  } else {
    sim_.Start(0);
  }
  servicesAt_ = EndpointsAt(sim_.BaseUrl());
  return sim_;
}

ServiceServer& MainWindowFixture::StartServiceServer(Scheme scheme) {
  if (!services_) {
    services_ = scheme == Scheme::kHttps ? std::make_unique<ServiceServer>(LoopbackCertificate())
                                         : std::make_unique<ServiceServer>();
  }
  servicesAt_ = services_->Endpoints();
  return *services_;
}

TestAuthority& MainWindowFixture::Authority() {
  if (!authority_) authority_ = std::make_unique<TestAuthority>(certificates_.Path());
  return *authority_;
}

RawHttpServer::Tls MainWindowFixture::LoopbackCertificate() {
  static int issued = 0;
  const auto certificate = Authority().Issue("loopback" + std::to_string(++issued), {"127.0.0.1"});
  return {certificate.certificate, certificate.key};
}

ServiceServer& MainWindowFixture::Services() {
  if (services_) return *services_;
  ADD_FAILURE() << "the service server was not started";
  return StartServiceServer();
}

void MainWindowFixture::Settings(const std::string& text) {
  WriteSettingsFile(program_.Path(), text);
}

std::unique_ptr<TfrmMain> MainWindowFixture::NewWindow(const WindowOptions& options) {
  HttpClient::Options client = options.client;
  if (authority_ && client.testAuthority.empty())
    client.testAuthority = authority_->CertificateFile().string();
  auto window = std::make_unique<TfrmMain>(
      options.endpoints.value_or(servicesAt_.value_or(LoopbackEndpoints())), client);
  if (!options.startUpTick) window->Timer1().stop();
  if (options.show) window->show();
  return window;
}

TfrmMain& MainWindowFixture::OpenWindow(const WindowOptions& options) {
  window_.reset();
  window_ = NewWindow(options);
  return *window_;
}

QAbstractButton* MainWindowFixture::Button(const char* name) const {
  return Find<QAbstractButton>(name);
}

QAction* MainWindowFixture::Action(const char* name) const {
  return Find<QAction>(name);
}

QTableView* MainWindowFixture::Table() const {
  return Find<QTableView>("lvwItems");
}

ResultsModel& MainWindowFixture::Model() const {
  return *static_cast<ResultsModel*>(Table()->model());
}

std::vector<std::string> MainWindowFixture::Column(int column) const {
  std::vector<std::string> cells;
  for (int row = 0; row < window_->Results().RowCount(); ++row)
    cells.push_back(window_->Results().Cell(row, column));
  return cells;
}

std::vector<std::string> MainWindowFixture::Row(int row) const {
  std::vector<std::string> cells;
  for (int c = 0; c < kColumnCount; ++c) cells.push_back(window_->Results().Cell(row, c));
  return cells;
}

std::string MainWindowFixture::Status() const {
  return Find<QLabel>("MainStatusPanel")->text().toStdString();
}

std::string MainWindowFixture::MainKeywordText() const {
  return Find<QLabel>("MainKeywordPanel")->text().toStdString();
}

std::string MainWindowFixture::ItemCount() const {
  return Find<QLabel>("SecondStatusPanel")->text().toStdString();
}

void MainWindowFixture::AddRows(const std::vector<std::string>& keywords) {
  for (const auto& k : keywords) window_->Results().AppendKeywords({{k, ""}});
}

void MainWindowFixture::SetMainKeyword(const std::string& keyword) {
  WhenModalOpens([keyword](QWidget* dialog) {
    Child<QLineEdit>(dialog, "edtMainKeyword")->setText(QString::fromLatin1(keyword));
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  window_->btnMainKeywordClick();
  ASSERT_EQ(window_->MainKeyword(), keyword);
}

void MainWindowFixture::When(std::function<bool()> ready, std::function<void()> action) {
  WhenReady(window_.get(), std::move(ready), std::move(action));
}

}  // namespace quorvane
