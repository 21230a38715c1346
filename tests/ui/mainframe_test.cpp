#include "ui/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <clocale>

#include "app/scripted_prompter.h"
#include "ui/application.h"

using tessaro::ui::TMainForm;

TEST(MainFrame, CaptionAndExitCommands) {
  tessaro::test::ScriptedPrompter prompter;
  TMainForm frame(&prompter);
  frame.show();
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tessaro V1.0"));

  // Without a main screen the frame menu, with the glaze-fit menu after it,
  // is the menu bar; its exit item closes the frame.
  auto* menuExit = frame.findChild<QAction*>(QStringLiteral("FrameExit"));
  ASSERT_NE(menuExit, nullptr);
  EXPECT_EQ(frame.menuBar()->actions().size(), 5);
  menuExit->trigger();
  EXPECT_FALSE(frame.isVisible());
}

TEST(MainFrame, ProgramIconAndChineseStandardDialogs) {
  // As Qt leaves it for a user's locale.
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C.UTF-8"), nullptr);
  ASSERT_TRUE(tessaro::ui::prepareApplication()) << "Qt's translations (qt6-translations-l10n) are missing";
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}
