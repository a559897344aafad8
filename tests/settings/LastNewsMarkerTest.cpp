#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/LastNewsMarker.h"

using namespace quorvane;

namespace {

using Lines = std::vector<std::string>;

TEST(LastNewsMarker, FindsTheFirstMarkerInAnyCase) {
  EXPECT_EQ(FindLastNewsId(""), "");
  EXPECT_EQ(FindLastNewsId("<%%AboutText%%>x<%%/AboutText%%>\r\n"), "");
  EXPECT_EQ(FindLastNewsId("a\r\n<%%LastNewsId%%>17<%%/LastNewsId%%>\r\n"), "17");
  EXPECT_EQ(FindLastNewsId("<%%LastNewsId%%>1<%%/LastNewsId%%>\r\n"
                           "<%%LastNewsId%%>2<%%/LastNewsId%%>\r\n"),
            "1");
  EXPECT_EQ(FindLastNewsId("<%%lastnewsid%%>5<%%/LASTNEWSID%%>\r\n"), "5");
  EXPECT_EQ(FindLastNewsId("<%%LastNewsId%%> 7 <%%/LastNewsId%%>\r\n"), " 7 ");
  EXPECT_EQ(FindLastNewsId("<%%LastNewsId%%><%%/LastNewsId%%>\r\n"), "");
}

struct PutCase {
  const char* name;
  Lines before;
  std::string id;
  Lines after;
};

TEST(LastNewsMarker, StoresTheIdOnTheFirstExactCaseMarker) {
  const std::string m17 = "<%%LastNewsId%%>17<%%/LastNewsId%%>";
  const std::string m18 = "<%%LastNewsId%%>18<%%/LastNewsId%%>";
  const std::vector<PutCase> cases = {
      {"appended without a marker",
       {"<%%ApplicationName%%>A<%%/ApplicationName%%>", ""},
       "17",
       {"<%%ApplicationName%%>A<%%/ApplicationName%%>", "", m17}},
      {"appended to an empty text", {}, "17", {m17}},
      {"replaces the marker line only", {"first", m17, "last"}, "18", {"first", m18, "last"}},
      {"replaces the first of two", {m17, "middle", m17}, "18", {m18, "middle", m17}},
      {"empty id", {m17}, "", {"<%%LastNewsId%%><%%/LastNewsId%%>"}},
      {"id kept unchecked", {m17}, " x ", {"<%%LastNewsId%%> x <%%/LastNewsId%%>"}},
      {"other case is not replaced",
       {"<%%lastnewsid%%>5<%%/lastnewsid%%>"},
       "18",
       {"<%%lastnewsid%%>5<%%/lastnewsid%%>", m18}},
      {"other tags on the line survive",
       {"<%%AppHelpURL%%>h<%%/AppHelpURL%%>" + m17 + "<%%CopyrightYears%%>y<%%/CopyrightYears%%>"},
       "18",
       {"<%%AppHelpURL%%>h<%%/AppHelpURL%%>" + m18 + "<%%CopyrightYears%%>y<%%/CopyrightYears%%>"}},
      {"start tag without end keeps its line",
       {"a", "<%%LastNewsId%%>17 and more", "<%%/LastNewsId%%>"},
       "18",
       {"a", m18, "<%%LastNewsId%%>17 and more", "<%%/LastNewsId%%>"}},
      {"end tag in another case pairs up", {"<%%LastNewsId%%>17<%%/lastnewsid%%>"}, "18", {m18}},
  };
  for (const auto& c : cases) {
    Lines lines = c.before;
    PutLastNewsId(lines, c.id);
    EXPECT_EQ(lines, c.after) << c.name;
  }
}

TEST(LastNewsMarker, WhatIsStoredIsWhatIsFoundNext) {
  // After every kind of store, the read sees the new id first (unless an
  // earlier marker in another letter case is in the way).
  const std::vector<Lines> starts = {
      {},
      {"x", "<%%LastNewsId%%>1<%%/LastNewsId%%>"},
      {"<%%AboutText%%>a<%%/AboutText%%><%%LastNewsId%%>1<%%/LastNewsId%%>"},
      {"<%%LastNewsId%%>dangling", "<%%/LastNewsId%%>"},
  };
  for (const auto& start : starts) {
    Lines lines = start;
    PutLastNewsId(lines, "42");
    std::string joined;
    for (const auto& l : lines) joined += l + "\r\n";
    EXPECT_EQ(FindLastNewsId(joined), "42") << testing::PrintToString(start);
  }
}

}  // namespace
