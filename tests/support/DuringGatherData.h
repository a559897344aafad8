#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "app/ui/FMain.h"
#include "support/ModalDialogs.h"

namespace quorvane {

// Clicks Gather Data in `window`, whose table holds rows and whose search
// engines are those of StalledEngineEndpoints, answers the search-type
// dialog and runs `during` while the run waits for its first page. Stops
// the run afterwards unless `during` did; returns once the run has ended.
inline void DuringGatherData(TfrmMain& window, const std::function<void()>& during) {
  auto* gatherData = Child<QPushButton>(&window, "btnGatherData");
  // Shared: a look-out left behind by a run that never came must not
  // reach into this call's frame.
  auto ran = std::make_shared<bool>(false);
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
  WhenReady(
      &window, [gatherData] { return gatherData->text() == QLatin1String("Stop"); },
      [&window, gatherData, ran, during] {
        *ran = true;
        // The search-type dialog has closed; the keys of the window's
        // shortcuts need it active again, as a desktop makes it.
        if (window.isVisible()) {
          QApplication::setActiveWindow(&window);
          (void)QTest::qWaitForWindowActive(&window);
        }
        during();
        if (gatherData->text() == QLatin1String("Stop")) gatherData->click();
      });
  gatherData->click();
  EXPECT_TRUE(*ran) << "the run did not wait for its first page";
}

}  // namespace quorvane
