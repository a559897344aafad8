#pragma once

// The test processes of one binary share one settings file when a
// developer runs the binary by hand (ctest gives each case a process of
// its own): a case that looks at what the file dialogs remember starts
// from nothing remembered.

#include "app/ui/DesktopSettings.h"

namespace quorvane {

inline void ForgetFileHistory() {
  DesktopSettings settings;
  settings.SetSaveFolder({});
  settings.SetSaveType({});
  settings.SetOpenFolder({});
  settings.SetOpenFilter({});
  settings.SetRecentFiles({});
}

}  // namespace quorvane
