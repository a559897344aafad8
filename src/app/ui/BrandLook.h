#pragma once

#include <string>

#include "settings/LoadedBrand.h"

class QWidget;

namespace quorvane {

class BannerLabel;

// The pictures a brand brings beside its settings file, applied to the
// program: the banner, the skin and the application icon.

// Shows the chosen banner's picture in the still or the animated control
// and fits the panel to it. False when there is nothing to show.
bool ShowBanner(const LoadedBrand& brand, QWidget& panel, BannerLabel& still,
                BannerLabel& animated);
// mainskin.dat, when present, as the style sheet of the whole application.
void ApplySkin();
// Every picture of the icon file as the application icon.
void ApplyIcon(const std::string& iconFile);

}  // namespace quorvane
