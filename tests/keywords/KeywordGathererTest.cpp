#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keywords/KeywordGatherer.h"
#include "support/FakeService.h"
#include "support/MemoryResultsTable.h"
#include "support/RecordingMessages.h"

using namespace quorvane;

namespace {

const std::string kBase = "http://127.0.0.1:9";
const std::string kWrongPassword = "Wrong password. Do you want try again?";

std::string SuggestionPage(const std::vector<std::pair<std::string, std::string>>& rows) {
  std::string page = "<table><tfoot><tr><td>t</td></tr></tfoot><tbody>\r\n";
  for (const auto& [count, phrase] : rows)
    page += "<tr><td>" + count + "</td><td><a href=\"/k\">" + phrase + "</a></td></tr>\r\n";
  return page + "</tbody></table>\r\n";
}

std::string ImagePage(const std::string& random, const std::string& seed,
                      const std::string& image) {
  return "<p>Please enter the characters in the image</p><form>"
         "<input type=\"hidden\" name=\"random\" value=\"" +
         random + "\"><input type=\"hidden\" name=\"seed\" value=\"" + seed + "\"><img src=\"" +
         image + "\"></form>\r\n";
}

class KeywordGathererTest : public ::testing::Test {
 protected:
  // The dialog's stand-in: answers with the next scripted password and the
  // hidden values of the page it was given (as the real dialog reads them).
  KeywordGatherer Gatherer() {
    return KeywordGatherer(
        kBase, service.Fetch(), table, messages,
        [this](const std::string& page) {
          dialogPages.push_back(page);
          if (onDialog) onDialog();
          SecurityImageAnswer answer;
          answer.Password = passwords.empty() ? "" : passwords.front();
          if (!passwords.empty()) passwords.erase(passwords.begin());
          answer.RandomValue = "R" + std::to_string(dialogPages.size());
          answer.SeedValue = "golf+clubs";
          return answer;
        },
        [this] { return aborted; });
  }

  std::string AnswerUrl(const std::string& password, int dialog) const {
    return kBase + "/keyword-suggestion-tool.html?password=" + password + "&random=R" +
           std::to_string(dialog) + "&seed=golf+clubs";
  }

  FakeService service;
  MemoryResultsTable table;
  RecordingMessages messages;
  std::vector<std::string> passwords;
  std::vector<std::string> dialogPages;
  std::function<void()> onDialog;
  bool aborted = false;
};

TEST_F(KeywordGathererTest, NoMainKeywordAsksForOneAndSendsNothing) {
  Gatherer().Run("");
  EXPECT_EQ(messages.Shown(),
            std::vector<std::string>{"Please enter a main keyword before gather keywords."});
  EXPECT_TRUE(service.Urls().empty());
}

TEST_F(KeywordGathererTest, SuggestionPageBecomesRows) {
  service.ThenPage(SuggestionPage({{"1,234", "golf clubs"}, {"56", "golf bags"}}));
  EXPECT_EQ(Gatherer().Run("golf clubs"), 2);

  EXPECT_EQ(service.Urls(),
            std::vector<std::string>{kBase + "/?seed=golf+clubs&adult_filter=remove_offensive"
                                             "&suggest=Hit+Me"});
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.Cell(0, kColNo), "1");
  EXPECT_EQ(table.Cell(1, kColNo), "2");
  EXPECT_EQ(table.Cell(1, kColKeywords), "golf bags");
  EXPECT_EQ(table.Cell(1, kColSearches), "56");
  EXPECT_TRUE(dialogPages.empty());
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(KeywordGathererTest, FailedFirstFetchEndsSilently) {
  service.ThenFailure();
  EXPECT_EQ(Gatherer().Run("golf"), 0);
  EXPECT_EQ(service.Urls().size(), 1u);
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_TRUE(dialogPages.empty());
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(KeywordGathererTest, WrongAnswerThenRightOneShowsTheNewestImage) {
  const std::string first = ImagePage("R1", "golf+clubs", "http://127.0.0.1:9/img?n=1");
  const std::string second = ImagePage("R2", "golf+clubs", "http://127.0.0.1:9/img?n=2");
  service.ThenPage(first);
  service.ThenPage(second);
  service.ThenPage(SuggestionPage({{"9", "golf"}}));
  passwords = {"wrong", "right"};
  messages.answers = {true};

  EXPECT_EQ(Gatherer().Run("golf clubs"), 1);

  EXPECT_EQ(dialogPages, (std::vector<std::string>{first, second}));
  ASSERT_EQ(service.Urls().size(), 3u);
  EXPECT_EQ(service.Urls()[1], AnswerUrl("wrong", 1));
  EXPECT_EQ(service.Urls()[2], AnswerUrl("right", 2));
  EXPECT_EQ(messages.Shown(), std::vector<std::string>{kWrongPassword});
  ASSERT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.Cell(0, kColKeywords), "golf");
}

TEST_F(KeywordGathererTest, CancelledDialogStillSendsTheAnswerAndQuestionCancelEnds) {
  service.ThenPage(ImagePage("R1", "s", "http://127.0.0.1:9/i"));
  service.ThenPage(ImagePage("R2", "s", "http://127.0.0.1:9/i"));
  service.ThenPage(SuggestionPage({{"9", "never"}}));
  messages.answers = {false};

  Gatherer().Run("golf");

  // The dialog was closed with nothing typed: the answer goes out empty.
  ASSERT_EQ(service.Urls().size(), 2u);
  EXPECT_EQ(service.Urls()[1], AnswerUrl("", 1));
  EXPECT_EQ(messages.Shown(), std::vector<std::string>{kWrongPassword});
  EXPECT_EQ(dialogPages.size(), 1u);
  EXPECT_EQ(table.RowCount(), 0);
}

TEST_F(KeywordGathererTest, FailedAnswerFetchEndsWithoutRowsOrQuestion) {
  service.ThenPage(ImagePage("R1", "s", "http://127.0.0.1:9/i"));
  service.ThenFailure();
  passwords = {"abc"};
  Gatherer().Run("golf");
  EXPECT_EQ(service.Urls().size(), 2u);
  EXPECT_TRUE(messages.Shown().empty());
  EXPECT_EQ(table.RowCount(), 0);
}

// Closing the main window sets the abort flag; after that no dialog or
// question may open, whatever page the last fetch left.
TEST_F(KeywordGathererTest, WindowClosedInTheDialogEndsTheRun) {
  service.ThenPage(ImagePage("R1", "s", "http://127.0.0.1:9/i"));
  onDialog = [this] { aborted = true; };
  Gatherer().Run("golf");
  EXPECT_EQ(service.Urls().size(), 1u);
  EXPECT_EQ(dialogPages.size(), 1u);
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(KeywordGathererTest, WindowClosedDuringTheAnswerEndsTheRun) {
  service.ThenPage(ImagePage("R1", "s", "http://127.0.0.1:9/i"));
  // A fetch refused because of the flag leaves the image page in place.
  service.Then({false, "", [this] { aborted = true; }, true});
  Gatherer().Run("golf");
  EXPECT_EQ(service.Urls().size(), 2u);
  EXPECT_EQ(dialogPages.size(), 1u);
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(KeywordGathererTest, NeitherImageNorSuggestionPageAddsNothing) {
  service.ThenPage("<html><body>Service unavailable</body></html>\r\n");
  EXPECT_EQ(Gatherer().Run("golf"), 0);
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_TRUE(messages.Shown().empty());
  EXPECT_TRUE(dialogPages.empty());
}

}  // namespace
