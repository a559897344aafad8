#pragma once

#include <string>

#include "settings/BrandSettings.h"

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
  bool bannerHandPointer = false;  // the banner leads somewhere when clicked
  bool linksVisible = false;       // the link bar
};
