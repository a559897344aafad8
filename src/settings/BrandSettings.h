#pragma once

#include <string>

namespace quorvane {

// The brand values: filled once while the main window is created, from the
// encrypted brand settings file, and read-only afterwards. All empty when
// there is no settings file. Texts are 8-bit, as stored in the file.
struct BrandSettings {
  std::string ApplicationName;
  std::string BranderCode;
  std::string BranderType;  // "Master", "Platinum", "Gold" or "Free"
  std::string AffiliateURL;
  std::string AffiliateTYPE;
  std::string AffiliateID;
  std::string MasterNewsBaseURL;
  std::string PlatinumNewsBaseURL;
  std::string GoldNewsBaseURL;
  std::string MasterPublID;
  std::string PlatinumPublID;
  std::string GoldPublID;
  std::string AppHelpURL;
  std::string CopyrightYears;
  std::string CopyrightCompany;
  std::string AboutText;

  std::string WelcomePage;
  std::string BannerImage;
  std::string BannerURL;
  std::string Link1Caption;
  std::string Link1URL;
  std::string Link2Caption;
  std::string Link2URL;
  std::string IconFile;
};

}  // namespace quorvane
