#include "ui/mainframe.h"

#include <QAction>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "app/scripted_prompter.h"

using tessaro::ui::TMainForm;

TEST(MainFrame, CaptionAndExitCommands) {
  tessaro::test::ScriptedPrompter prompter;
  TMainForm frame(&prompter);
  frame.show();
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tessaro V1.0"));

  // Without a main screen the frame menu is the menu bar; its exit item closes the frame.
  auto* menuExit = frame.findChild<QAction*>(QStringLiteral("FrameExit"));
  ASSERT_NE(menuExit, nullptr);
  EXPECT_EQ(frame.menuBar()->actions().size(), 4);
  menuExit->trigger();
  EXPECT_FALSE(frame.isVisible());
}
