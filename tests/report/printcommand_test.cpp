// The print command: its own cursors, the previews one after the other,
// non-modal, and the command flags at its end.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QToolBar>

#include "app/mainscreen_fixture.h"
#include "pdf_text.h"
#include "report/printcommand.h"
#include "workbook_file.h"

namespace tessaro::test {
namespace {

using app::Command;
using app::WorkTable;
using report::PrintCommand;

class PrintCommandTest : public MainScreenTest {
 protected:
  void SetUp() override {
    MainScreenTest::SetUp();
    open();
  }
  void TearDown() override {
    // A command a failed test left running ends here.
    delete PrintCommand::running();
    QApplication::processEvents();
  }

  PrintCommand* run() { return PrintCommand::run(*screen, frame, prompter); }

  // Closes the preview now shown, as the person does.
  static void closePreview(PrintCommand* command) {
    ASSERT_NE(command->preview(), nullptr);
    command->preview()->close();
    QApplication::processEvents();
  }
};

TEST_F(PrintCommandTest, AfterACalculationOnlyTheFormulaReportIsShown) {
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(frame.enabled(Command::ToolPrint));
  PrintCommand* command = run();
  ASSERT_NE(command, nullptr);
  // The report reads the result table that the main screen holds exclusively.
  EXPECT_TRUE(table(WorkTable::Result).isExclusive());
  EXPECT_TRUE(command->tables().result.isOpen());
  EXPECT_EQ(command->stage(), PrintCommand::Stage::FormulaReport);
  QPrintPreviewDialog* preview = command->preview();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->isVisible());
  EXPECT_FALSE(preview->isModal());
  EXPECT_EQ(preview->windowTitle(), "打印预览");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The program keeps working while the preview is open.
  EXPECT_TRUE(screen->toggleCompactDisplay());
  // A second print command brings the same preview forward.
  EXPECT_EQ(run(), command);

  bool finished = false;
  QObject::connect(command, &PrintCommand::finished, [&] { finished = true; });
  closePreview(command);
  EXPECT_TRUE(finished);
  EXPECT_EQ(PrintCommand::running(), nullptr);
  EXPECT_FALSE(frame.enabled(Command::ToolPrint));  // the frame heard of the end (its rule: tests/app)
  EXPECT_TRUE(prompter.messages.empty() || prompter.messages.back().caption != app::kErrorCaption);
}

TEST_F(PrintCommandTest, AfterAPropertyCalculationThePropertyReportFollows) {
  ASSERT_TRUE(screen->calculate());
  frame.propertiesComputed();
  PrintCommand* command = run();
  ASSERT_NE(command, nullptr);
  bool finished = false;
  QObject::connect(command, &PrintCommand::finished, [&] { finished = true; });
  closePreview(command);
  ASSERT_FALSE(finished);
  EXPECT_EQ(command->stage(), PrintCommand::Stage::PropertyReport);
  // The formula report's tables are closed with its preview.
  EXPECT_FALSE(command->tables().formula.isOpen());
  EXPECT_FALSE(command->tables().result.isOpen());
  EXPECT_TRUE(command->tables().property.isOpen());
  ASSERT_NE(command->preview(), nullptr);
  EXPECT_TRUE(command->preview()->isVisible());
  closePreview(command);
  EXPECT_TRUE(finished);
  EXPECT_FALSE(frame.enabled(Command::ToolPrint));
}

TEST_F(PrintCommandTest, ExportWritesTheReportShownAsPdf) {
  if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
  ASSERT_TRUE(screen->calculate());
  PrintCommand* command = run();
  ASSERT_NE(command, nullptr);
  ASSERT_NE(command->exportAction(), nullptr);
  EXPECT_EQ(command->exportAction()->text(), "导出PDF");
  const QString pdf = tmp.filePath(QStringLiteral("导出.pdf"));
  ASSERT_TRUE(command->exportPdf(pdf));
  EXPECT_EQ(pdfPages(pdf), 1);
  EXPECT_TRUE(pdfText(pdf).startsWith(QStringLiteral("透明釉(石灰釉)_计算结果")));
  // A file that cannot be written is told, naming it.
  prompter.clear();
  const QString bad = tmp.filePath(QStringLiteral("无/导出.pdf"));
  EXPECT_FALSE(command->exportPdf(bad));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(bad));
  closePreview(command);
}

TEST_F(PrintCommandTest, TheExcelActionWritesTheWorkbook) {
  ASSERT_TRUE(screen->calculate());
  PrintCommand* command = run();
  ASSERT_NE(command, nullptr);
  QAction* action = command->exportXlsxAction();
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), "导出Excel…");
  EXPECT_TRUE(command->preview()->findChild<QToolBar*>()->actions().contains(action));
  const QString xlsx = tmp.filePath(QStringLiteral("导出.xlsx"));
  ASSERT_TRUE(command->exportXlsx(xlsx));
  EXPECT_TRUE(isThreeSheetWorkbook(xlsx));
  prompter.clear();
  const QString bad = tmp.filePath(QStringLiteral("无/导出.xlsx"));
  EXPECT_FALSE(command->exportXlsx(bad));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(bad)) << prompter.messages[0].text.toStdString();
  closePreview(command);
}

TEST_F(PrintCommandTest, ATableThatDoesNotOpenStopsTheCommandWithItsName) {
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(QFile::remove(data(QStringLiteral("性能.dbf"))));
  prompter.clear();
  EXPECT_EQ(run(), nullptr);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("性能.dbf"))) << prompter.messages[0].text.toStdString();
  EXPECT_EQ(PrintCommand::running(), nullptr);
  EXPECT_TRUE(frame.enabled(Command::ToolPrint));  // the command did not complete
  // The cursors it opened are closed again: the formula table can be packed.
  store::Table& formula = table(WorkTable::Formula);
  formula.close();
  EXPECT_TRUE(formula.open(base(), app::kFormulaTableName, store::Table::Mode::Exclusive));
  EXPECT_TRUE(formula.pack()) << formula.errorString().toStdString();
}

TEST_F(PrintCommandTest, PrintAndExportGiveThePagesThePreviewShows) {
  if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
  ASSERT_TRUE(screen->calculate());
  PrintCommand* command = run();
  ASSERT_NE(command, nullptr);
  // The tables change while the preview is open; what prints does not.
  ASSERT_TRUE(screen->clearMainData());
  const QString pdf = tmp.filePath(QStringLiteral("导出.pdf"));
  ASSERT_TRUE(command->exportPdf(pdf));
  const QString text = pdfText(pdf);
  EXPECT_TRUE(text.startsWith(QStringLiteral("透明釉(石灰釉)_计算结果"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("1202.03"))) << text.toStdString();
  closePreview(command);
}

TEST_F(PrintCommandTest, ADamagedTableStopsTheCommandWithItsDamage) {
  ASSERT_TRUE(screen->calculate());
  screen.reset();
  QByteArray b = readFile(data(QStringLiteral("结果.DBF")));
  b[4] = 9;  // the header claims records the file does not have
  ASSERT_TRUE(writeFile(data(QStringLiteral("结果.DBF")), b));
  open();
  prompter.clear();
  EXPECT_EQ(run(), nullptr);
  ASSERT_EQ(prompter.messages.size(), 1u);
  const QString text = prompter.messages[0].text;
  EXPECT_TRUE(text.startsWith(QStringLiteral("表文件 数据库/结果.DBF 已损坏："))) << text.toStdString();
  EXPECT_TRUE(text.endsWith(QStringLiteral("报表没有生成。"))) << text.toStdString();
  EXPECT_EQ(PrintCommand::running(), nullptr);
}

}  // namespace
}  // namespace tessaro::test
