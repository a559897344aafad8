#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/Scenario.h"
#include "sim/SimRequest.h"

namespace quorvane::sim {

// Stand-ins for every outside service of Quorvane on one port of
// 127.0.0.1: the keyword-suggestion service with its security image, the
// three web search engines, the publisher's news service, the live-update
// server and a set of fault endpoints, over http or https. Tests run it
// in-process; the quorvane-sim tool runs it from the command line.
//
// Thread-safe: the scenario can be changed and the request log read while
// requests are being served.
class Simulator {
 public:
  static constexpr int kDefaultPort = 8765;

  // The certificate and private key (PEM files) of an https simulator. The
  // certificate may carry its chain after it.
  struct Tls {
    std::filesystem::path certificate;
    std::filesystem::path key;
  };

  explicit Simulator(Scenario scenario = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Binds 127.0.0.1:port (0 = a free port) and returns once connections
  // are accepted. Returns the bound port; throws std::runtime_error when
  // the port cannot be bound. Starting a running simulator returns its port.
  int Start(int port = 0);
  // The same over https; also throws when the certificate or key cannot
  // be used.
  int Start(int port, const Tls& tls);
  // Ends slow responses at once, closes the port and joins every server
  // thread. Idle keep-alive connections are dropped within a second.
  void Stop();
  bool Running() const;
  int Port() const;
  // "http://127.0.0.1:PORT" (https when started so) while running, ""
  // otherwise.
  std::string BaseUrl() const;

  Scenario GetScenario() const;
  // Replaces the scenario and starts the security-image state afresh (the
  // request counter of SecurityImageMode::kFirst, the solved flag).
  void SetScenario(Scenario scenario);
  // Changes the scenario in place; the security-image state stays.
  void ChangeScenario(const std::function<void(Scenario&)>& change);

  // The request log, oldest first. A request is logged when it has been
  // read, before its response is sent.
  std::vector<SimRequest> Requests() const;
  std::vector<SimRequest> Requests(SimService service) const;
  std::size_t RequestCount() const;
  void ClearRequests();
  // Waits until the log holds at least `count` requests (of `service`).
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
  bool WaitForRequests(SimService service, std::size_t count,
                       std::chrono::milliseconds timeout) const;

  // Responses to every request received so far finish without further
  // delay or drip pauses; later requests follow the scenario again.
  void ReleaseHeld();

  // Called on a server thread for every logged request.
  void SetRequestObserver(std::function<void(const SimRequest&)> observer);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvane::sim
