#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "newsd/NewsServer.h"
#include "newsd/ServiceConfig.h"
#include "support/TempFolder.h"

namespace quorvane {

// The publisher's own news and update service (quorvane-newsd's server)
// on a free port of 127.0.0.1, serving a content folder of its own that a
// test fills the way a publisher does: one file per news item, an update
// descriptor, release files.
class HostedNewsService {
 public:
  HostedNewsService(std::vector<std::string> publisherIds, std::vector<std::string> productCodes);
  ~HostedNewsService();

  // Writes news/<id>.news with the item, under a temporary name first and
  // renamed into place, as a careful editor does.
  void AddItem(int id, const std::string& title, const std::string& date, const std::string& body);
  // Writes liveupdate/<name>/mainappupdate.inf announcing `version`.
  void Publish(const std::string& version, const std::string& name = "quorvane");
  // Writes any file below the content folder.
  void WriteFile(const std::string& relative, const std::string& bytes);

  // Starts serving; the content written so far is served from the start.
  void Start();
  std::string BaseUrl() const;  // "http://127.0.0.1:<port>"
  int Port() const { return port_; }
  newsd::NewsServer& Server() { return *server_; }
  const std::filesystem::path& Folder() const { return folder_.Path(); }
  newsd::ServiceConfig& Config() { return config_; }

  // The log lines so far.
  std::vector<std::string> Log() const;
  // Waits (bounded) until the newest item served has this id; false when
  // it never came.
  bool WaitForNewest(const std::string& id) const;

 private:
  TempFolder folder_;
  newsd::ServiceConfig config_;
  mutable std::mutex logMutex_;
  std::vector<std::string> log_;
  std::unique_ptr<newsd::NewsServer> server_;
  int port_ = 0;
};

}  // namespace quorvane
