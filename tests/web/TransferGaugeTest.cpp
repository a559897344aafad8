#include "web/TransferGauge.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "support/FakeFetchHost.h"

using namespace quorvane;

namespace {

ResponseHead Head(std::int64_t length, bool chunked = false) {
  ResponseHead head;
  head.status = 200;
  head.headersDone = true;
  head.length = length;
  head.chunked = chunked;
  return head;
}

const ResponseHead kNoHeadYet;

struct Case {
  const char* name;
  std::int64_t uploadSize;
  std::function<void(TransferGauge&)> reports;
  std::string gauge;  // what the host's gauge was told
};
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

const Case kCases[] = {
    {"AnnouncedBody", 0,
     [](TransferGauge& g) {
       g.Download(Head(10), 0, false, false);
       g.Download(Head(10), 4, false, false);
       g.Download(Head(10), 10, false, true);
     },
     "begin 10, work 4, work 10, end"},
    {"NothingBeforeTheHead", 0,
     [](TransferGauge& g) {
       g.Upload(0, false);
       g.Download(kNoHeadYet, 0, false, false);
     },
     ""},
    {"UnannouncedLengthStartsAtZero", 0,
     [](TransferGauge& g) { g.Download(Head(-1), 3, false, true); }, "begin 0, work 3, end"},
    {"ChunkedStartsAtZeroWhateverTheLength", 0,
     [](TransferGauge& g) { g.Download(Head(5, true), 5, false, true); }, "begin 0, work 5, end"},
    {"SameCountIsNoProgress", 0,
     [](TransferGauge& g) {
       g.Download(Head(8), 4, false, false);
       g.Download(Head(8), 4, false, false);
       g.Download(Head(8), 8, false, false);
     },
     "begin 8, work 4, work 8"},
    {"NothingAfterTheEnd", 0,
     [](TransferGauge& g) {
       g.Download(Head(8), 8, false, true);
       g.Download(Head(8), 9, false, true);
     },
     "begin 8, work 8, end"},
    {"ACutBeforeTheHeadLeavesTheBodyOut", 0,
     [](TransferGauge& g) { g.Download(Head(8), 8, true, true); }, ""},
    {"ACutAfterTheBodyBeganEndsIt", 0,
     [](TransferGauge& g) {
       g.Download(Head(8), 2, false, false);
       g.Download(Head(8), 5, true, true);
     },
     "begin 8, work 2, work 5, end"},
    {"UploadThenBody", 300,
     [](TransferGauge& g) {
       g.Upload(0, false);
       g.Upload(100, false);
       g.Upload(300, false);
       g.Download(Head(4), 4, false, true);
     },
     "begin 300, work 100, work 300, end, begin 4, work 4, end"},
    {"TheHeadEndsAnUnfinishedUpload", 300,
     [](TransferGauge& g) {
       g.Upload(100, false);
       g.Upload(100, true);
     },
     "begin 300, work 100, end"},
    {"NoUploadWithoutABody", 0, [](TransferGauge& g) { g.Upload(50, true); }, ""},
};

class TransferGaugeTest : public ::testing::TestWithParam<Case> {};

TEST_P(TransferGaugeTest, TellsTheHostAndPumpsAfterEveryCall) {
  const Case& c = GetParam();
  FakeFetchHost host;
  int pumps = 0;
  {
    TransferGauge gauge(
        host, c.uploadSize, [&pumps] { ++pumps; },
        [] { ADD_FAILURE() << "no abort flag was set"; });
    c.reports(gauge);
    EXPECT_EQ(host.GaugeText(), c.gauge);
    EXPECT_EQ(pumps, static_cast<int>(host.gauge.size()));
  }
  EXPECT_EQ(host.pumps, 0) << "the host's messages are the client's to pump";
}

INSTANTIATE_TEST_SUITE_P(Reports, TransferGaugeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TransferGauge, TheAbortFlagCutsAtAProgressReportBeforeTheHostSeesIt) {
  FakeFetchHost host;
  host.abort = true;
  std::string order;
  TransferGauge gauge(
      host, 4, [&] { order += "pump "; }, [&] { order += "abort(" + host.GaugeText() + ") "; });
  gauge.Upload(4, false);
  EXPECT_EQ(order, "pump abort(begin 4) pump pump ");
  EXPECT_EQ(host.GaugeText(), "begin 4, work 4, end");
}

// A host whose gauge fails to end, as a window on its way down may.
class FailingEndHost : public FakeFetchHost {
 public:
  int ends = 0;
  void WorkEnd() override {
    ++ends;
    throw std::runtime_error("gone");
  }
};

// Both directions begun and neither ended: the upload of 10 bytes stopped
// at 4, and the body of unannounced length had begun.
void LeaveUnfinished(TransferGauge& gauge) {
  gauge.Upload(4, false);
  gauge.Download(Head(-1), 2, false, false);
}

TEST(TransferGauge, ATransferLeftByAnErrorEndsOnTheGaugeWithoutAPump) {
  FakeFetchHost host;
  int pumps = 0;
  {
    TransferGauge gauge(
        host, 10, [&pumps] { ++pumps; }, [] {});
    LeaveUnfinished(gauge);
    EXPECT_EQ(pumps, 4);
  }
  EXPECT_EQ(host.GaugeText(), "begin 10, work 4, begin 0, work 2, end, end");
  EXPECT_EQ(pumps, 4);

  FailingEndHost failing;
  {
    TransferGauge gauge(
        failing, 10, [] {}, [] {});
    LeaveUnfinished(gauge);
  }  // would end the program if an error left the destructor
  EXPECT_EQ(failing.ends, 2) << "the body still ends after the upload's end failed";
}

}  // namespace
