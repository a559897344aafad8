#pragma once

// The fixture of the tests that drive the real main window: its program
// folder, the local services it talks to, the window itself (built here
// and nowhere else) and read-outs of its table and status bar.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/FMain.h"
#include "sim/Simulator.h"
#include "support/GuiFixture.h"
#include "support/ModalDialogs.h"
#include "support/ServiceServer.h"
#include "support/TempFolder.h"
#include "support/TestAuthority.h"
#include "web/HttpClient.h"
#include "web/ServiceEndpoints.h"

class QAbstractButton;
class QAction;
class QTableView;

namespace quorvane {

class ResultsModel;

// How a test's main window is built, e.g.
// OpenWindow(WindowOptions().At(endpoints).WithStartUpTick()).
struct WindowOptions {
  // The services' addresses. Unset: the simulator's once StartSimulator()
  // has run, the service server's once StartServiceServer() has run, and
  // closed ports of 127.0.0.1 otherwise (LoopbackEndpoints).
  std::optional<ServiceEndpoints> endpoints;
  // Leaves Timer1 running as the window starts it, so that its first tick
  // runs the start-up check (news notice, silent update check) by itself.
  // Otherwise Timer1 is stopped and a test that wants the check calls
  // Timer1Timer().
  bool startUpTick = false;
  bool show = false;
  // The HTTP client's own options (time limits, connections redirected).
  HttpClient::Options client;

  WindowOptions& At(ServiceEndpoints addresses) {
    endpoints = std::move(addresses);
    return *this;
  }
  WindowOptions& WithStartUpTick(bool on = true) {
    startUpTick = on;
    return *this;
  }
  WindowOptions& Shown() {
    show = true;
    return *this;
  }
  WindowOptions& WithClient(HttpClient::Options options) {
    client = std::move(options);
    return *this;
  }
};

// Every case starts in a fresh temporary program folder with no service
// running and nothing remembered from an earlier window. At the end it
// fails when a modal dialog is still open, then closes the window, stops
// the services and resets the application-wide look (style sheet, icon)
// that a brand gave the window.
class MainWindowFixture : public GuiFixture {
 protected:
  // What earlier windows of the process remembered (place, columns) is
  // forgotten: every case opens its windows as on a first run.
  MainWindowFixture();
  ~MainWindowFixture() override;

  // --- Services on 127.0.0.1, started when a test asks for them.

  // Over https: the services' certificate is signed by the case's own
  // test authority, which windows built afterwards trust.
  enum class Scheme { kHttp, kHttps };

  // The bundled simulator on a free port; windows built afterwards have
  // every service there.
  sim::Simulator& StartSimulator(Scheme scheme = Scheme::kHttp);
  // The scripted raw server of every service (ServiceServer); windows
  // built afterwards have every service there.
  ServiceServer& StartServiceServer(Scheme scheme = Scheme::kHttp);
  // The service server StartServiceServer() started.
  ServiceServer& Services();

  // The case's throw-away certificate authority (made on first use), and
  // a certificate it signs for 127.0.0.1.
  TestAuthority& Authority();
  RawHttpServer::Tls LoopbackCertificate();

  // --- The window.

  // Writes `text` as the program folder's settings file, to be read by
  // windows built afterwards.
  void Settings(const std::string& text);

  // A new main window. The one place where tests build one.
  std::unique_ptr<TfrmMain> NewWindow(const WindowOptions& options = {});
  // Closes window_, if any, and makes a new one.
  TfrmMain& OpenWindow(const WindowOptions& options = {});

  // --- Read-outs and steps on window_.

  // The child of the window of that type and name; fails the test when
  // there is none.
  template <class Widget>
  Widget* Find(const char* name) const {
    return Child<Widget>(window_.get(), name);
  }
  QAbstractButton* Button(const char* name) const;
  QAction* Action(const char* name) const;
  QTableView* Table() const;  // lvwItems
  ResultsModel& Model() const;

  // The cells of a column of the results table, top row first, and the
  // cells of a row from "No" to "Msn".
  std::vector<std::string> Column(int column) const;
  std::vector<std::string> Row(int row) const;

  // The status bar's panels: the status text (MainStatusPanel), the main
  // keyword (MainKeywordPanel) and the item count (SecondStatusPanel).
  std::string Status() const;
  std::string MainKeywordText() const;
  std::string ItemCount() const;

  // Appends one row per keyword, numbered on from the rows there.
  void AddRows(const std::vector<std::string>& keywords);
  // Sets the main keyword through the Main Keyword dialog.
  void SetMainKeyword(const std::string& keyword);
  // Runs `action` as soon as `ready` holds, looking while a command waits
  // for the network (see WhenReady).
  void When(std::function<bool()> ready, std::function<void()> action);

  // The program folder: ProgramFolder() points here for the case.
  TempFolder program_{/*asProgramFolder=*/true};
  // Not running until StartSimulator() (or a test) starts it.
  sim::Simulator sim_;

 private:
  std::unique_ptr<ServiceServer> services_;
  std::optional<ServiceEndpoints> servicesAt_;
  TempFolder certificates_;
  std::unique_ptr<TestAuthority> authority_;

 protected:
  // Last: the window goes before the services it talks to.
  std::unique_ptr<TfrmMain> window_;
};

}  // namespace quorvane
