#include "support/HostedNewsService.h"

#include <chrono>
#include <thread>

namespace quorvane {

namespace fs = std::filesystem;

HostedNewsService::HostedNewsService(std::vector<std::string> publisherIds,
                                     std::vector<std::string> productCodes) {
  config_.host = "127.0.0.1";
  config_.port = 0;
  config_.folder = folder_.Path();
  config_.threads = 8;
  config_.rescanSeconds = 1;
  config_.access.publisherIds = {publisherIds.begin(), publisherIds.end()};
  config_.access.productCodes = {productCodes.begin(), productCodes.end()};
  fs::create_directories(folder_.Path() / "news");
  fs::create_directories(folder_.Path() / "liveupdate");
}

HostedNewsService::~HostedNewsService() {
  if (server_) server_->Stop();
}

void HostedNewsService::WriteFile(const std::string& relative, const std::string& bytes) {
  const fs::path target = folder_.Path() / relative;
  fs::create_directories(target.parent_path());
  const fs::path temporary = target.parent_path() / ("." + target.filename().string() + ".tmp");
  WriteFileBytes(temporary, bytes);
  fs::rename(temporary, target);
}

void HostedNewsService::AddItem(int id, const std::string& title, const std::string& date,
                                const std::string& body) {
  WriteFile("news/" + std::to_string(id) + ".news",
            "Id: " + std::to_string(id) + "\nTitle: " + title + "\nDate: " + date + "\n\n" + body);
}

void HostedNewsService::Publish(const std::string& version, const std::string& name) {
  WriteFile("liveupdate/" + name + "/mainappupdate.inf",
            "[APPLICATION]\r\nName=Acme Keywords\r\nVersion=" + version + "\r\n");
}

void HostedNewsService::Start() {
  server_ = std::make_unique<newsd::NewsServer>(config_, [this](const std::string& line) {
    std::lock_guard lock(logMutex_);
    log_.push_back(line);
  });
  port_ = server_->Start();
}

std::string HostedNewsService::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> HostedNewsService::Log() const {
  std::lock_guard lock(logMutex_);
  return log_;
}

bool HostedNewsService::WaitForNewest(const std::string& id) const {
  for (int i = 0; i < 1000; ++i) {
    if (server_->Content()->news.NewestId() == id) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace quorvane
