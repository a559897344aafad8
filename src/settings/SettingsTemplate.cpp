#include "settings/SettingsTemplate.h"

namespace quorvane {

// The comments must never hold a tag opener: whatever looks like a tag is
// read as one.
std::string SettingsTemplate() {
  return R"(Brand settings. Fill in the values between the tags, then encrypt this
file into dbsettings.dat and ship that beside the program:
    quorvane-brand encrypt settings.txt dbsettings.dat
Rules:
- Keep the tags in this order. A tag standing before the end tag of an
  earlier value is not read.
- A value is everything between its two tags: blanks and line breaks count.
  An empty value is the same as a missing tag.
- Text outside the tags, like these lines, is ignored.

Name shown in the window caption and the About window.
<%%ApplicationName%%>My Keyword Tool<%%/ApplicationName%%>

Product code sent to the news service.
<%%BranderCode%%>MKT<%%/BranderCode%%>

Tier, exact case: Master, Platinum, Gold or Free (Free uses the Master
news address and publisher id).
<%%BranderType%%>Gold<%%/BranderType%%>

Address opened by the Make Money button. %%AFFILIATEID%% (capitals) is
replaced by the affiliate id below.
<%%AffiliateURL%%>http://www.example.com/affiliate?id=%%AFFILIATEID%%<%%/AffiliateURL%%>
<%%AffiliateTYPE%%>cpa<%%/AffiliateTYPE%%>
<%%AffiliateID%%>12345<%%/AffiliateID%%>

News service address and publisher id of each tier. Only those of your
tier need values; the Check News button shows when both are set.
<%%MasterNewsBaseURL%%>http://news.example.com/master/<%%/MasterNewsBaseURL%%>
<%%PlatinumNewsBaseURL%%>http://news.example.com/platinum/<%%/PlatinumNewsBaseURL%%>
<%%GoldNewsBaseURL%%>http://news.example.com/gold/<%%/GoldNewsBaseURL%%>
<%%MasterPublID%%>100<%%/MasterPublID%%>
<%%PlatinumPublID%%>200<%%/PlatinumPublID%%>
<%%GoldPublID%%>300<%%/GoldPublID%%>

Caption of the Make Money button (empty: "Make Money").
<%%MakeMoneyButton%%>Earn Money<%%/MakeMoneyButton%%>

Address opened by the Help button.
<%%AppHelpURL%%>http://www.example.com/help/<%%/AppHelpURL%%>

About window: copyright years, company and text.
<%%CopyrightYears%%>2007-2008<%%/CopyrightYears%%>
<%%CopyrightCompany%%>Example Publishing<%%/CopyrightCompany%%>
<%%AboutText%%>My Keyword Tool finds the keywords your customers search for.
Thank you for using it.<%%/AboutText%%>

Welcome pages, numbered 1 to 16 without gaps (the first missing number
ends the list). Each is the HTML source of one page; one of them is shown
at random when the program starts. Leave them all out for no welcome page.
<%%Welcome1%%><html>
<body>
<h1>Welcome to My Keyword Tool</h1>
<p>Set a main keyword, gather keywords, then gather data.</p>
</body>
</html><%%/Welcome1%%>

Banners, numbered 1 to 16 without gaps: picture name ^ address. The picture
of banner N ships as the file bannerN.dat beside the program; the name's
extension tells its format (.gif is shown animated). One banner is chosen
at random; without an address a click on it does nothing.
<%%Banner1%%>banner1.gif^http://www.example.com/<%%/Banner1%%>
<%%Banner2%%>banner2.jpg^http://www.example.com/offer/<%%/Banner2%%>

Links under the results table, numbered 1 to 16 without gaps: caption ^
address. Two different ones are chosen at random.
<%%Link1%%>Visit our site^http://www.example.com/<%%/Link1%%>
<%%Link2%%>More tools^http://www.example.com/tools/<%%/Link2%%>

Optional files beside the program: mainskin.dat (a style sheet for all
windows) and main.ico (the program icon).

The program keeps the id of the last news item read on the line below.
<%%LastNewsId%%><%%/LastNewsId%%>
)";
}

}  // namespace quorvane
