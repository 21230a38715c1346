// The windows over a copy of the bundled data folder, with a scripted Prompter.
#pragma once

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "bundled_data.h"
#include "app/scripted_prompter.h"
#include "controls.h"
#include "ui/mainscreenform.h"
#include "ui/mainframe.h"
#include "ui/gridmodel.h"

namespace tessaro::test {

class WindowsTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  ScriptedPrompter prompter;
  std::unique_ptr<ui::TMainForm> frame;

  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(tessaro::test::copyBundledData(tmp.path()));
  }

  void TearDown() override { frame.reset(); }

  // The frame and its windows, as start-up creates them.
  void start() {
    frame = std::make_unique<ui::TMainForm>(&prompter);
    frame->frameCreationStep(1280);
    frame->createWindows(tmp.path());
    frame->resize(1280, 800);
    frame->show();
    prompter.clear();
  }

  ui::TForm1& form1() { return *frame->mainScreen(); }

  // A control of the frame; a missing one stops the test.
  template <typename T = QAction>
  T* find(const QString& name) {
    return control<T>(frame.get(), name);
  }

  QToolButton* speed(int n) { return find<QToolButton>(QStringLiteral("SpeedButton") + QString::number(n)); }
  QTableView* grid(int n) { return find<QTableView>(QStringLiteral("DBGrid") + QString::number(n)); }

  QStringList menuBarTitles() {
    QStringList out;
    for (QAction* a : frame->menuBar()->actions()) out << a->text();
    return out;
  }
};

}  // namespace tessaro::test
