// Transfers from the library windows into the real main screen.
#include "app/maintransfer.h"

#include "app/library.h"
#include "mainscreen_fixture.h"

using namespace tessaro;
using app::Command;
using app::WindowButton;

namespace {

// Moves the library's cursor to its first record that is not a category row.
void toFirstComposition(store::Table& t) {
  for (t.first(); !t.eof(); t.next()) {
    if (!app::isCategoryName(t.text(QStringLiteral("NAME")))) return;
  }
}

class MainTransferTest : public test::MainScreenTest {
 protected:
  int shown = 0;
  std::unique_ptr<app::MainScreenTransfer> sink;

  void SetUp() override {
    test::MainScreenTest::SetUp();
    open();
    sink = std::make_unique<app::MainScreenTransfer>(*screen, frame, [this] { ++shown; });
  }
};

TEST_F(MainTransferTest, MaterialDoubleClickAppendsToTableOneAndSetsTheFrame) {
  app::Library materials(app::LibraryKind::Materials, prompter, *sink, base());
  materials.refresh();
  frame.showMaterialLibrary();
  ASSERT_FALSE(frame.enabled(Command::ToolCalculate));
  store::Table* lib = materials.table();
  ASSERT_NE(lib, nullptr);
  toFirstComposition(*lib);
  const QString name = lib->text(QStringLiteral("NAME"));
  const int before = table(app::WorkTable::Formula).recordCount();

  materials.transferCurrent(1);

  EXPECT_TRUE(prompter.messages.empty());
  store::Table& formula = table(app::WorkTable::Formula);
  EXPECT_EQ(formula.recordCount(), before + 1);
  formula.last();
  EXPECT_EQ(formula.text(QStringLiteral("NAME")), name);
  EXPECT_TRUE(frame.pressed(WindowButton::MainScreen));
  EXPECT_TRUE(frame.enabled(Command::ToolCalculate));
  EXPECT_TRUE(frame.enabled(Command::ToolVerify));
  EXPECT_TRUE(frame.enabled(Command::ToolClear));
  EXPECT_FALSE(frame.enabled(Command::FrameClear));  // a transfer alone does not run the command of "主界面"
  EXPECT_GE(shown, 1);
}

TEST_F(MainTransferTest, TargetDoubleClickReplacesTableTwoAndResetsTheDisplay) {
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->compactDisplay());
  ASSERT_TRUE(screen->resultGridVisible());

  app::Library targets(app::LibraryKind::Targets, prompter, *sink, base());
  targets.refresh();
  frame.showTargetLibrary();
  store::Table* lib = targets.table();
  ASSERT_NE(lib, nullptr);
  toFirstComposition(*lib);
  const QString name = lib->text(QStringLiteral("NAME"));
  prompter.messages.clear();

  targets.transferCurrent(1);

  EXPECT_TRUE(prompter.messages.empty());
  store::Table& target = table(app::WorkTable::Target);
  EXPECT_EQ(target.recordCount(), 1);
  target.first();
  EXPECT_EQ(target.text(QStringLiteral("NAME")), name);
  EXPECT_FALSE(screen->compactDisplay());
  EXPECT_FALSE(screen->resultGridVisible());
  EXPECT_TRUE(frame.pressed(WindowButton::MainScreen));
  EXPECT_TRUE(frame.enabled(Command::ToolCalculate));
  EXPECT_TRUE(frame.enabled(Command::FrameClear));  // the whole command of "主界面"
}

// The library's refusal reaches the main screen's title through the transfer;
// a transfer with agreeing titles clears it.
TEST_F(MainTransferTest, HeaderMismatchMarksTheMainScreenTitleUntilTheTitlesAgree) {
  app::Library materials(app::LibraryKind::Materials, prompter, *sink, base());
  materials.refresh();
  store::Table* lib = materials.table();
  ASSERT_NE(lib, nullptr);
  materials.selectOtherColumn(11);
  ASSERT_TRUE(materials.chooseOtherOxide(1));  // BaO against 其它2
  toFirstComposition(*lib);
  const int before = table(app::WorkTable::Formula).recordCount();
  prompter.clear();

  materials.transferCurrent(1);
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(sink->otherTitleRed(app::TransferSink::Grid::Formula, 2));
  EXPECT_FALSE(sink->otherTitleRed(app::TransferSink::Grid::Formula, 1));
  EXPECT_EQ(table(app::WorkTable::Formula).recordCount(), before);

  prompter.answers = {std::nullopt};  // the name box cancelled: the title is 其它2 again
  materials.selectOtherColumn(11);
  ASSERT_TRUE(materials.nameOtherOxide());
  prompter.clear();
  toFirstComposition(*lib);
  materials.transferCurrent(1);
  EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
  EXPECT_FALSE(sink->otherTitleRed(app::TransferSink::Grid::Formula, 2));
  EXPECT_EQ(table(app::WorkTable::Formula).recordCount(), before + 1);
}

TEST_F(MainTransferTest, OtherCaptionsAreThoseOfTableOne) {
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(sink->formulaOtherCaption(k),
              screen->formulaCaptions()[app::columnOf(app::Grid::Formula, app::otherOxideField(k))]);
  }
  EXPECT_EQ(sink->formulaOtherCaption(1), QStringLiteral("其它1"));
  EXPECT_TRUE(sink->formulaOtherCaption(4).isEmpty());
}

}  // namespace
