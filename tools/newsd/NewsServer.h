#pragma once

#include <functional>
#include <memory>
#include <string>

#include "newsd/ContentFolder.h"
#include "newsd/ServiceConfig.h"

namespace quorvane::newsd {

// The news and update service over HTTP: the news scripts answered from
// the folder's last scan, the update descriptors from it too, the release
// files from the disk. A pool of threads serves the clients; a watcher
// scans the folder again when it changes (inotify, and every
// rescan_seconds in case a change went unseen) and swaps the new scan in
// whole, so every request sees one scan from start to end.
class NewsServer {
 public:
  // One line of the log, without its line break.
  using LogSink = std::function<void(const std::string& line)>;

  NewsServer(ServiceConfig config, LogSink log);
  ~NewsServer();
  NewsServer(const NewsServer&) = delete;
  NewsServer& operator=(const NewsServer&) = delete;

  // Scans the folder and binds the configured address; port 0 takes a free
  // one. Returns the port. Throws std::runtime_error when it cannot bind.
  int Bind();
  // Serves until Stop(); returns false when serving failed to start.
  bool Serve();
  // Bind() and Serve() on a thread of the server's own; returns the port.
  int Start();
  // Ends serving and watching; idempotent.
  void Stop();

  // Scans the folder now when it changed since the last scan (always with
  // `force`) and swaps the new scan in. True when it did.
  bool Reload(bool force = false);

  // The scan requests are answered from now.
  std::shared_ptr<const ContentSnapshot> Content() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvane::newsd
