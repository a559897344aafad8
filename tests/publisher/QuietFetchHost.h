#pragma once

#include <cstdint>
#include <string>

#include "web/FetchHost.h"

// A window stand-in for the HTTP client: no display, an abort flag the
// test sets, and a count of the progress events.
class QuietFetchHost : public FetchHost {
 public:
  bool AbortRequested() const override { return abort; }
  void ShowMainStatus(const std::string& text) override { status = text; }
  void WorkBegin(std::int64_t) override { ++events; }
  void Work(std::int64_t) override { ++events; }
  void WorkEnd() override { ++events; }
  void ProcessMessages() override { ++pumps; }

  bool abort = false;
  std::string status;
  int events = 0;
  int pumps = 0;
};
