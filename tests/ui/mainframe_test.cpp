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

  auto* tbExit = frame.findChild<QAction*>(QStringLiteral("TBExit"));
  ASSERT_NE(tbExit, nullptr);
  EXPECT_EQ(tbExit->text(), QStringLiteral("退出"));
  EXPECT_TRUE(tbExit->isEnabled());
  tbExit->trigger();
  EXPECT_FALSE(frame.isVisible());

  // Without a main screen the frame menu is the menu bar; its exit item closes the frame too.
  frame.show();
  auto* menuExit = frame.findChild<QAction*>(QStringLiteral("FrameExit"));
  ASSERT_NE(menuExit, nullptr);
  EXPECT_EQ(frame.menuBar()->actions().size(), 4);
  menuExit->trigger();
  EXPECT_FALSE(frame.isVisible());
}
