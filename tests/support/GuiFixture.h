#pragma once

// Base of the widget-test fixtures. The message boxes and file dialogs
// keep their scripted answers and their records in static state, so one
// case's leftovers would answer or spoil the next case in the same
// process.

#include <gtest/gtest.h>

#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"

namespace quorvane {

// Every case starts with no scripted answer or file name queued and
// nothing recorded, and fails when it ends with a scripted answer that no
// box asked for: the box it was meant for never came. Being the base, it
// resets before the fixture's own members (windows) are built and checks
// after they are gone. A case that scripts answers only in case a box
// comes by mistake resets the state itself before it ends.
class GuiFixture : public ::testing::Test {
 protected:
  GuiFixture() { ResetScripts(); }
  ~GuiFixture() override {
    EXPECT_EQ(MessageBox::PendingAnswers(), 0) << "a scripted answer was not asked for";
    ResetScripts();
  }

  static void ResetScripts() {
    MessageBox::ResetTestState();
    FileDialogs::ResetTestState();
  }
};

}  // namespace quorvane
