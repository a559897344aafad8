// `quorvane-brand check`, the real binary on real brand folders: a folder
// ready to ship, and a table of folders each broken in one way, each with
// the one line (rarely two) that names the trouble, and the exit status.
#include <gtest/gtest.h>

#include <QByteArray>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/ContainerBytes.h"
#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/HostedNewsService.h"
#include "support/PictureBytes.h"
#include "support/RawHttpServer.h"
#include "support/RefusingPort.h"
#include "support/SettingsText.h"
#include "support/TempFolder.h"
#include "support/TinyGif.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

const std::string kTool = QUORVANE_BRAND_TOOL;

// A brand folder as a publisher prepares it: the settings as tag and value
// pairs (written one a line, then encrypted) and the files beside them.
class BrandFolder {
 public:
  BrandFolder() {
    tags_ = {
        {"ApplicationName", "Acme Keywords"},
        {"BranderCode", "ACME-1"},
        {"BranderType", "Gold"},
        {"AffiliateURL", "http://www.acme.example/partners?id=%%AFFILIATEID%%"},
        {"AffiliateTYPE", "cpa"},
        {"AffiliateID", "42"},
        {"MasterNewsBaseURL", ""},
        {"PlatinumNewsBaseURL", ""},
        {"GoldNewsBaseURL", "http://news.acme.example/gold/"},
        {"MasterPublID", ""},
        {"PlatinumPublID", ""},
        {"GoldPublID", "acme-gold"},
        {"MakeMoneyButton", "Earn With Us"},
        {"AppHelpURL", "https://www.acme.example/help/"},
        {"CopyrightYears", "2026"},
        {"CopyrightCompany", "Acme Ltd"},
        {"AboutText", "Acme Keywords finds the words\r\nyour customers search for."},
        {"Welcome1",
         "<html><body><img src=\"logo.png\"><p>Welcome</p>"
         "<img src='images/team.jpg' width=20></body></html>"},
        {"Banner1", "spring.gif^http://www.acme.example/spring"},
        {"Banner2", "summer.jpg^https://www.acme.example/summer"},
        {"Link1", "Our tools^http://www.acme.example/tools"},
        {"Link2", "Support^https://www.acme.example/support"},
    };
    File("banner1.dat", TinyGif(40, 10, 2).toStdString());
    File("banner2.dat", PictureBytes("JPG", 40, 10));
    File("logo.png", PictureBytes("PNG", 16, 16));
    File("images/team.jpg", PictureBytes("JPG", 16, 16));
    File("main.ico", PictureBytes("ICO", 32, 32));
    File("mainskin.dat", "#btnGatherData { color: #1f5f8b; } /* the brand's blue */\n");
    File("Updater.exe", "#!/bin/sh\nexit 0\n");
    fs::permissions(Path("Updater.exe"),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    File("acme.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\"/>\n");
    File("identity.ini",
         "[Product]\nName=Acme Keywords\nPackage=acme-keywords\nVersion=2.1\n"
         "[Desktop]\nName=Acme Keywords\nComment=Keyword research\nCategories=Office;\n"
         "Icon=acme.svg\n[AppStream]\nId=com.acme.keywords\nName=Acme Keywords\n"
         "Summary=Keyword research\nDeveloper=Acme Ltd\n[Package]\n"
         "Maintainer=Acme Ltd <packages@acme.example>\nCopyrightHolder=Acme Ltd\n"
         "CopyrightYears=2026\n");
  }

  std::string Path(const std::string& name = "") const {
    return name.empty() ? folder_.Path().string() : folder_.File(name).string();
  }
  void File(const std::string& name, const std::string& bytes) {
    fs::create_directories(folder_.File(name).parent_path());
    folder_.Write(name, bytes);
  }
  void Remove(const std::string& name) { fs::remove(folder_.File(name)); }

  // The value of a tag; setting "" writes an empty pair.
  std::string& operator[](const std::string& tag) {
    for (auto& [name, value] : tags_) {
      if (name == tag) return value;
    }
    tags_.emplace_back(tag, "");
    return tags_.back().second;
  }
  void Drop(const std::string& tag) {
    std::erase_if(tags_, [&](const auto& pair) { return pair.first == tag; });
  }
  std::vector<std::pair<std::string, std::string>>& Tags() { return tags_; }

  // The settings text: one tag a line, then the last-news marker line,
  // then `extra`.
  std::string Text() const {
    std::string text = "Acme's brand settings.\r\n";
    for (const auto& [name, value] : tags_) text += Tag(name, value);
    text += "<%%LastNewsId%%><%%/LastNewsId%%>\r\n" + extra;
    for (const auto& [from, to] : edits) text.replace(text.find(from), from.size(), to);
    return text;
  }
  // The line of the text on which `needle` first stands.
  int LineOf(const std::string& needle) const {
    const std::string text = Text();
    const auto at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
  }

  // Writes dbsettings.dat from the text, as `quorvane-brand encrypt` does.
  void Encrypt(std::string_view password = kSettingsPassword) {
    File("dbsettings.dat", EncryptBytes(Text(), password));
  }

  std::string extra;
  // Replacements in the finished text, each of the first occurrence.
  std::vector<std::pair<std::string, std::string>> edits;

 private:
  TempFolder folder_;
  std::vector<std::pair<std::string, std::string>> tags_;
};

ChildResult Check(const std::vector<std::string>& args) {
  std::vector<std::string> argv{kTool, "check"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
    lines.push_back(text.substr(from, end - from));
  }
  return lines;
}

TEST(BrandCheckTest, AFolderReadyToShipPassesQuietly) {
  BrandFolder brand;
  brand.Encrypt();
  ASSERT_FALSE(brand.Path("main.ico").empty());
  const ChildResult r = Check({brand.Path()});
  EXPECT_EQ(r.out, brand.Path() + ": ready to ship\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exitCode, 0);
}

TEST(BrandCheckTest, EachBrokenFolderGetsItsLine) {
  struct Case {
    const char* what;
    std::function<void(BrandFolder&)> breakIt;  // runs before the settings are encrypted
    // The lines expected, without the folder in front; "FILE:@NEEDLE" puts
    // in the line on which NEEDLE stands; a line ending in "..." is matched
    // up to there.
    std::vector<std::string> lines;
    std::function<void(BrandFolder&)> afterEncrypting = nullptr;
  };
  const std::string unknownPassword =
      "dbsettings.dat: does not decrypt with the settings password (encrypted with another "
      "password, or not a brand settings file)";
  const Case cases[] = {
      {"a plain settings text",
       [](BrandFolder&) {},
       {"dbsettings.dat: a plain settings text, not encrypted: the program cannot read it; "
        "encrypt it with quorvane-brand encrypt (the lines below count the lines of this text)"},
       [](BrandFolder& b) { b.File("dbsettings.dat", b.Text()); }},
      {"another password",
       [](BrandFolder&) {},
       {unknownPassword},
       [](BrandFolder& b) { b.Encrypt("another password"); }},
      {"damaged",
       [](BrandFolder&) {},
       {"dbsettings.dat: damaged (its check code does not match its content)"},
       [](BrandFolder& b) {
         std::string bytes = ReadFileBytes(b.Path("dbsettings.dat"));
         bytes[40] ^= 0x10;
         b.File("dbsettings.dat", bytes);
       }},
      {"no settings file",
       [](BrandFolder&) {},
       {"dbsettings.dat: missing: without it the program shows no brand at all; write one with "
        "quorvane-brand template and encrypt it"},
       [](BrandFolder& b) { b.Remove("dbsettings.dat"); }},
      {"news address mistyped",
       [](BrandFolder& b) { b["GoldNewsBaseURL"] = "htp://news.acme.example/gold/"; },
       {"dbsettings.dat:@<%%GoldNewsBaseURL: GoldNewsBaseURL: unknown scheme \"htp\": the program "
        "can use http:// and https:// addresses"}},
      {"tier in another letter case",
       [](BrandFolder& b) { b["BranderType"] = "gold"; },
       {"dbsettings.dat:@<%%BranderType: BranderType: write the tier exactly \"Gold\": it is "
        "compared letter for letter, and \"gold\" is no tier"}},
      {"no publisher id",
       [](BrandFolder& b) { b["GoldPublID"] = ""; },
       {"dbsettings.dat:@<%%GoldPublID: GoldPublID: empty, and the tier is Gold: the Check News "
        "button stays hidden and no news is asked"}},
      {"a misspelt tag",
       [](BrandFolder& b) { b.extra = Tag("AffiliateTipe", "cpa"); },
       {"dbsettings.dat:@<%%AffiliateTipe: <%%AffiliateTipe%%>: unknown tag: the program reads "
        "no value of this name (did you mean AffiliateTYPE?)"}},
      {"a tag out of order",
       [](BrandFolder& b) {
         auto& tags = b.Tags();
         std::rotate(tags.begin(), tags.begin() + 16, tags.begin() + 17);  // AboutText first
       },
       {"dbsettings.dat:@<%%AboutText: AboutText: out of order: it stands before the end of a "
        "value the program reads earlier, so the program reads it as empty; keep the tags in the "
        "template's order"}},
      {"a gap in the links",
       [](BrandFolder& b) { b.Drop("Link1"); },
       {"dbsettings.dat:@<%%Link2: Link2: never read: Link1 is missing or empty, and the first gap "
        "ends the list"}},
      {"no end tag",
       [](BrandFolder& b) {
         b.edits = {{"<%%/AppHelpURL%%>", ""}};
       },
       {"dbsettings.dat:@<%%AppHelpURL: AppHelpURL: no end tag <%%/AppHelpURL%%>: the program "
        "reads the value as empty",
        "dbsettings.dat:@<%%AppHelpURL: AppHelpURL: empty: the Help button opens the browser "
        "without a page"}},
      {"a tag twice",
       [](BrandFolder& b) { b.extra = Tag("BranderCode", "ACME-2"); },
       {"dbsettings.dat:@<%%BranderCode%%>ACME-2: BranderCode: stands a second time (first on "
        "line 3): the program reads only the first"}},
      {"the marker in another letter case",
       [](BrandFolder& b) { b.extra = "<%%lastnewsid%%><%%/lastnewsid%%>\r\n"; },
       {"dbsettings.dat:@<%%lastnewsid: LastNewsId: stands a second time (first on line 25): the "
        "program reads only the first",
        "dbsettings.dat:@<%%lastnewsid: LastNewsId: write the tag as <%%LastNewsId%%>, in this "
        "letter case: the program's save looks for that spelling and would add a second marker, "
        "and then it keeps reading the old one"}},
      {"affiliate placeholder in small letters",
       [](BrandFolder& b) { b["AffiliateURL"] = "http://www.acme.example/p?id=%%affiliateid%%"; },
       {"dbsettings.dat:@<%%AffiliateURL: AffiliateURL: write %%AFFILIATEID%% in capitals: in any "
        "other case it is not replaced by the affiliate id"}},
      {"Free with the Master pair",
       [](BrandFolder& b) {
         b["BranderType"] = "Free";
         b["MasterPublID"] = "acme-master";
         b["MasterNewsBaseURL"] = "http://news.acme.example/master/";
       },
       {"dbsettings.dat:@<%%BranderType: BranderType: Free with MasterPublID and "
        "MasterNewsBaseURL set shows the Check News button, but a Free brand asks no news "
        "service, so the button only ever says there is no news; write Master, or leave "
        "MasterPublID empty"}},
      {"a name on lines of its own",
       [](BrandFolder& b) { b["ApplicationName"] = "\r\nAcme Keywords\r\n"; },
       {"dbsettings.dat:@<%%ApplicationName: ApplicationName: holds a line break: nothing between "
        "the tags is trimmed, so write the value on the line of its tags"}},
      {"a banner without ^",
       [](BrandFolder& b) { b["Banner1"] = "spring.gif"; },
       {"dbsettings.dat:@<%%Banner1: Banner1: no ^: write picture-name^address (the address may "
        "be empty)"}},
      {"a link without a scheme",
       [](BrandFolder& b) { b["Link1"] = "Our tools^www.acme.example/tools"; },
       {"dbsettings.dat:@<%%Link1: Link1: no scheme: write http:// or https:// before the host"}},
      {"a welcome picture from the web",
       [](BrandFolder& b) {
         b["Welcome1"] = "<p>Hi<img src='http://cdn.acme.example/logo.png'></p>";
         b.Remove("logo.png");
         b.Remove("images/team.jpg");
       },
       {"dbsettings.dat:@<%%Welcome1: Welcome1: names the picture "
        "http://cdn.acme.example/logo.png: "
        "the welcome page loads nothing from the network, so it shows no picture there; put the "
        "picture into the brand folder and name it by its file name"}},
      {"a welcome picture missing",
       [](BrandFolder& b) { b.Remove("logo.png"); },
       {"logo.png: missing: Welcome1 shows it"}},
      {"a banner file missing",
       [](BrandFolder& b) { b.Remove("banner2.dat"); },
       {"banner2.dat: missing: the banner strip is hidden whenever Banner2 is chosen"}},
      {"a banner file that is no picture",
       [](BrandFolder& b) { b.File("banner2.dat", "junk"); },
       {"banner2.dat: does not load as a .jpg picture, as Banner2's name summer.jpg says: ..."}},
      {"a banner in a format the program cannot show",
       [](BrandFolder& b) { b["Banner2"] = "summer.xyz^https://www.acme.example/summer"; },
       {"dbsettings.dat:@<%%Banner2: Banner2: the picture name summer.xyz asks for the format "
        ".xyz, "
        "which the program cannot show"}},
      {"a banner file no tag names",
       [](BrandFolder& b) { b.File("banner3.dat", PictureBytes("PNG")); },
       {"banner3.dat: no Banner3 tag the program reads names it: it is never shown"}},
      {"an icon that is no icon",
       [](BrandFolder& b) { b.File("main.ico", "not an icon"); },
       {"main.ico: does not load as an icon: ..."}},
      {"a skin with an open block",
       [](BrandFolder& b) { b.File("mainskin.dat", "#btnGatherData { color: red;\n"); },
       {"mainskin.dat: a block, comment or quoted string is not closed: Qt drops the whole style "
        "sheet"}},
      {"an updater that cannot start",
       [](BrandFolder& b) { fs::permissions(b.Path("Updater.exe"), fs::perms::owner_read); },
       {"Updater.exe: not executable: the live update cannot start it (chmod +x Updater.exe)"}},
      {"no identity",
       [](BrandFolder& b) { b.Remove("identity.ini"); },
       {"acme.svg: not a brand file: the program never reads it, yet it would ship beside the "
        "program",
        "identity.ini: missing: without it the package, its command and its menu entry are "
        "Quorvane's, and they install over Quorvane itself"}},
      {"an identity without its summary",
       [](BrandFolder& b) {
         std::string identity = ReadFileBytes(b.Path("identity.ini"));
         identity.erase(identity.find("Summary=Keyword research\n"), 25);
         b.File("identity.ini", identity);
       },
       {"identity.ini: [AppStream] Summary: missing"}},
      {"an identity icon that is not there",
       [](BrandFolder& b) { b.Remove("acme.svg"); },
       {"acme.svg: missing: the identity's Icon names it"}},
      {"a stray file",
       [](BrandFolder& b) { b.File("notes.txt", "to do"); },
       {"notes.txt: not a brand file: the program never reads it, yet it would ship beside the "
        "program"}},
      {"a stray file in a subfolder",
       [](BrandFolder& b) { b.File("extras/notes.txt", "to do"); },
       {"extras/notes.txt: not a brand file: the program never reads it, yet it would ship beside "
        "the program"}},
      {"a welcome picture in a subfolder missing",
       [](BrandFolder& b) { b.Remove("images/team.jpg"); },
       {"images/team.jpg: missing: Welcome1 shows it"}},
      {"the working copy left behind",
       [](BrandFolder& b) { b.File("dbsettings.sim", "clear"); },
       {"dbsettings.sim: the program's working copy of the settings, in clear text: delete it "
        "before shipping"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BrandFolder brand;
    c.breakIt(brand);
    brand.Encrypt();
    if (c.afterEncrypting) c.afterEncrypting(brand);
    const ChildResult r = Check({brand.Path()});
    EXPECT_EQ(r.exitCode, 1);
    const std::vector<std::string> got = Lines(r.out);
    ASSERT_EQ(got.size(), c.lines.size()) << r.out;
    for (std::size_t i = 0; i < got.size(); ++i) {
      std::string expected = brand.Path() + "/" + c.lines[i];
      if (const auto at = expected.find(":@"); at != std::string::npos) {
        const auto end = expected.find(": ", at);
        const std::string needle = expected.substr(at + 2, end - at - 2);
        expected.replace(at + 1, end - at - 1, std::to_string(brand.LineOf(needle)));
      }
      if (expected.ends_with("...")) {
        expected.resize(expected.size() - 3);
        EXPECT_TRUE(got[i].starts_with(expected)) << got[i];
      } else {
        EXPECT_EQ(got[i], expected);
      }
    }
    const std::string summary = std::to_string(c.lines.size()) +
                                (c.lines.size() == 1 ? " problem" : " problems") +
                                "; not ready to ship\n";
    EXPECT_EQ(r.err, "quorvane-brand: " + brand.Path() + ": " + summary);
  }
}

TEST(BrandCheckTest, UsageMistakesExitThree) {
  BrandFolder brand;
  brand.Encrypt();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{kTool, "check"}, "check needs [--online] FOLDER"},
      {{kTool, "check", brand.Path(), brand.Path()}, "check needs [--online] FOLDER"},
      {{kTool, "--password", "x", "check", brand.Path()}, "--password does not apply"},
      {{kTool, "--online", "decrypt", brand.Path("dbsettings.dat"), brand.Path("x.txt")},
       "--online is for check"},
      {{kTool, "check", brand.Path("missing")}, brand.Path("missing") + ": not a folder"},
  };
  for (const auto& [args, piece] : cases) {
    const ChildResult r = RunChild(args);
    EXPECT_EQ(r.exitCode, 3) << piece;
    EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// --online asks the news service the program's first question once; the
// plain check makes no request at all.
TEST(BrandCheckTest, OnlineTheNewsServiceIsAskedAsTheProgramAsksIt) {
  HostedNewsService service({"acme-gold"}, {"ACME-1"});
  service.AddItem(1, "Hello", "2026-01-01", "<p>hello</p>");
  service.Start();
  RawHttpServer redirecting([](const RawHttpServer::Request&) {
    return RawHttpServer::Respond(302, "", "Location: https://news.acme.example/gold/\r\n");
  });
  RefusingPort closed;

  struct Case {
    std::string address;
    std::string publisher;
    std::string line;  // after "dbsettings.dat:LINE: GoldNewsBaseURL: "; empty: ready
  };
  const Case cases[] = {
      {service.BaseUrl() + "/acme/gold/", "acme-gold", ""},
      {service.BaseUrl() + "/acme/gold", "acme-gold", ""},
      {service.BaseUrl() + "/acme/gold/", "acme-old",
       "the news service does not know the publisher id \"acme-old\" (GoldPublID)"},
      {redirecting.Url("/gold/"), "acme-gold",
       "the news service answers with a redirect (302 to https://news.acme.example/gold/): a "
       "redirected news request loses its form, so write the address it leads to"},
      {closed.Url("/gold/"), "acme-gold", "the news service does not answer: no connection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address + " " + c.publisher);
    BrandFolder brand;
    brand["GoldNewsBaseURL"] = c.address;
    brand["GoldPublID"] = c.publisher;
    brand.Encrypt();

    const std::size_t before = redirecting.RequestCount();
    const ChildResult offline = Check({brand.Path()});
    EXPECT_EQ(offline.exitCode, 0) << offline.out;
    EXPECT_EQ(redirecting.RequestCount(), before) << "the plain check asked the network";

    const ChildResult r = Check({"--online", brand.Path()});
    if (c.line.empty()) {
      EXPECT_EQ(r.exitCode, 0) << r.out;
      EXPECT_EQ(r.out, brand.Path() + ": ready to ship\n");
      continue;
    }
    EXPECT_EQ(r.exitCode, 1);
    std::string expected = brand.Path() +
                           "/dbsettings.dat:" + std::to_string(brand.LineOf("<%%GoldNewsBaseURL")) +
                           ": GoldNewsBaseURL: " + c.line + "\n";
    if (expected.ends_with("...\n")) {
      expected.resize(expected.size() - 4);
      EXPECT_TRUE(r.out.starts_with(expected)) << r.out;
      EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    } else {
      EXPECT_EQ(r.out, expected);
    }
  }
  // The newest-item question, exactly once per online check, as the program sends it.
  const auto requests = redirecting.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/gold/getlastnews.php");
  for (const char* field :
       {"name=\"memusername\"\r\n\r\nacme-gold\r\n", "name=\"conttype\"\r\n\r\nlastcode\r\n",
        "name=\"prodtype\"\r\n\r\nBG\r\n"}) {
    EXPECT_NE(requests[0].body.find(field), std::string::npos) << field;
  }
}

}  // namespace
