#include "publisher/ui/NewsBrowser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <QTextDocument>

#include "support/PictureBytes.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

// A news item is text off the network: whatever its pictures and style
// sheets name, no file is read (a device would hang the program, a local
// file is none of the news' business) and nothing is fetched.
TEST(NewsBrowserTest, ReadsNothingTheNewsTextNames) {
  TempFolder folder(true);
  folder.Write("local.png", PictureBytes("PNG"));
  ASSERT_EQ(::mkfifo(folder.File("pipe.png").c_str(), 0600), 0);
  const std::string local = folder.File("local.png").string();
  const QString names[] = {
      QString::fromStdString(local),
      QUrl::fromLocalFile(QString::fromStdString(local)).toString(),
      "local.png",
      "pipe.png",
      "/dev/zero",
      "file:///dev/zero",
      "http://127.0.0.1:1/picture.png",
  };
  QString html = "<html><head><link rel=\"stylesheet\" href=\"/dev/zero\"></head><body>News";
  for (const auto& name : names) html += "<img src=\"" + name + "\">";
  html += "</body></html>";

  NewsBrowser browser;
  browser.resize(300, 200);
  browser.show();
  browser.setHtml(html);  // lays out, asking for every picture
  EXPECT_EQ(browser.toPlainText().left(4), "News");
  for (const auto& name : names) {
    const QVariant resource =
        browser.document()->resource(QTextDocument::ImageResource, QUrl(name));
    EXPECT_TRUE(resource.toByteArray().isEmpty()) << name.toStdString();
  }
}

}  // namespace
