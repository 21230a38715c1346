#include "ui/mainform.h"

#include <QAction>
#include <QMenuBar>

#include <gtest/gtest.h>

using tessaro::ui::TMainForm;

TEST(MainFrame, CaptionAndExitCommands) {
  TMainForm frame;
  frame.show();
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tessaro V1.0"));

  auto* tbExit = frame.findChild<QAction*>(QStringLiteral("TBExit"));
  ASSERT_NE(tbExit, nullptr);
  EXPECT_EQ(tbExit->text(), QStringLiteral("退出"));
  EXPECT_TRUE(tbExit->isEnabled());
  tbExit->trigger();
  EXPECT_FALSE(frame.isVisible());

  // The menu's exit item closes the frame too.
  frame.show();
  QAction* menuExit = nullptr;
  for (QAction* menu : frame.menuBar()->actions()) {
    for (QAction* item : menu->menu()->actions()) {
      if (item->text() == QStringLiteral("退出")) menuExit = item;
    }
  }
  ASSERT_NE(menuExit, nullptr);
  menuExit->trigger();
  EXPECT_FALSE(frame.isVisible());
}
