#pragma once

#include <string>

#include "settings/BrandSettings.h"

namespace quorvane {

// What reading the settings text decided: the brand values and what the
// main window has to show for them. Window code only applies it.
struct LoadedBrand {
  BrandSettings values;

  std::string caption;           // ApplicationName + " v" + the program version
  bool newsVisible = false;      // the Check News button
  std::string makeMoneyCaption;  // never empty: "Make Money" stands in
  // Number N of the picture file "banner" + N + ".dat" that belongs to the
  // chosen Banner tag; 0 when the file holds no Banner tag.
  int bannerNumber = 0;
  // From the file-name part of BannerImage: a name holding ".gif" (any
  // case) is shown as an animation; otherwise its extension, in lower case,
  // names the still picture's format (empty without one).
  bool bannerAnimated = false;
  std::string bannerFormat;
  bool bannerHandPointer = false;  // the banner leads somewhere when clicked
  bool linksVisible = false;       // the link bar
};

}  // namespace quorvane
