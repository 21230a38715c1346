// The window of the batch sheet, the glaze fit and the Stull chart: what it
// reads, that it follows the tables, and that its inputs reach the figures
// (the figures' own rules are tested in core and app).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/mainscreen_fixture.h"
#include "report/batchpage.h"
#include "report/expansionpage.h"
#include "report/fitpage.h"
#include "report/fitwindow.h"
#include "report/stullpage.h"
#include "workbook_file.h"

namespace tessaro::test {
namespace {

using report::FitWindow;

class FitWindowTest : public MainScreenTest {
 protected:
  void SetUp() override {
    MainScreenTest::SetUp();
    open();
    window = std::make_unique<FitWindow>(prompter, base());
  }

  // The texts of a table's column.
  static QStringList column(const report::FitTable* t, int c) {
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) out << t->cell(r, c);
    return out;
  }

  std::unique_ptr<FitWindow> window;
};

TEST_F(FitWindowTest, FollowsTheResultTableAndItsInputsReachTheFigures) {
  window->open();
  EXPECT_EQ(window->windowTitle(), "配料单与坯釉适应性");
  EXPECT_EQ(window->readError(), "表3中没有计算结果，请先进行配方计算或验算组成。");
  EXPECT_EQ(window->tabs()->count(), 3);

  ASSERT_TRUE(screen->calculate());
  window->refresh();
  EXPECT_EQ(window->readError(), "");

  // Expansion: a column per formula, the coefficient in the last row.
  report::ExpansionPage* expansion = window->expansionPage();
  EXPECT_EQ(expansion->setBox()->currentText(), "Appen");
  report::FitTable* t = expansion->table();
  ASSERT_EQ(t->columnCount(), 3);
  EXPECT_EQ(t->horizontalHeaderItem(1)->text(), "1＃配比");
  EXPECT_EQ(column(t, 0).first(), "SiO2");
  EXPECT_TRUE(column(t, 0).last().startsWith("膨胀系数 α"));
  bool number = false;
  column(t, 1).last().toDouble(&number);
  EXPECT_TRUE(number) << column(t, 1).last().toStdString();
  // A body typed in gives a verdict per formula; a set without Fe2O3 names it instead.
  expansion->bodyEdit()->setText(QStringLiteral("abc"));
  EXPECT_EQ(t->columnCount(), 3);  // the coefficients stay; the refusal is said
  EXPECT_EQ(expansion->verdicts()->text(), "");
  expansion->bodyEdit()->setText(QStringLiteral("65"));
  EXPECT_TRUE(expansion->verdicts()->text().startsWith("1＃配比：")) << expansion->verdicts()->text().toStdString();
  expansion->setBox()->setCurrentText(QStringLiteral("Winkelmann-Schott"));
  EXPECT_EQ(column(t, 1).last(), "不能计算");
  EXPECT_TRUE(expansion->verdicts()->text().contains("Fe2O3")) << expansion->verdicts()->text().toStdString();

  // Stull: both formulas and the target.
  const QStringList stull = column(window->stullPage()->table(), 0);
  ASSERT_EQ(stull.size(), 3);
  EXPECT_EQ(stull[0], "1＃配比");
  EXPECT_TRUE(stull[2].startsWith("目标："));

  // Batch sheet: the weight typed reaches the sheet; a refused text empties it.
  report::BatchPage* batch = window->batchPage();
  ASSERT_TRUE(batch->sheet());
  EXPECT_TRUE(column(batch->table(), 0).contains("干料合计"));
  EXPECT_EQ(batch->sheet()->request.weightKg, 100);
  batch->weightEdit()->setText(QStringLiteral("250"));
  ASSERT_TRUE(batch->sheet());
  EXPECT_NEAR(batch->sheet()->formulas.front().dryKg, 250, 1e-9);
  batch->weightEdit()->setText(QStringLiteral("abc"));
  EXPECT_FALSE(batch->sheet());
  EXPECT_FALSE(batch->message()->text().isEmpty());
  EXPECT_FALSE(batch->exportCsv(tmp.filePath(QStringLiteral("配料单.csv"))));
  EXPECT_EQ(prompter.messages.back().text, batch->message()->text());
  batch->weightEdit()->setText(QStringLiteral("100"));
  EXPECT_TRUE(batch->exportCsv(tmp.filePath(QStringLiteral("配料单.csv"))));
  EXPECT_TRUE(QFile::exists(tmp.filePath(QStringLiteral("配料单.csv"))));

  // The window follows the tables: cleared, it says there is no result.
  ASSERT_TRUE(screen->clearMainData());
  window->refresh();
  EXPECT_EQ(window->readError(), "表3中没有计算结果，请先进行配方计算或验算组成。");
  EXPECT_FALSE(batch->sheet());
}

TEST_F(FitWindowTest, TheBatchPageWritesTheWorkbookWithTheSheetShown) {
  ASSERT_TRUE(screen->calculate());
  window->open();
  report::BatchPage* batch = window->batchPage();
  const auto* button = batch->findChild<QPushButton*>(QStringLiteral("BatchXlsx"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "导出Excel...");
  const QString xlsx = tmp.filePath(QStringLiteral("配料单.xlsx"));
  ASSERT_TRUE(batch->exportXlsx(xlsx));
  EXPECT_TRUE(isThreeSheetWorkbook(xlsx));
  // No sheet shown, no workbook: the refusal is told.
  batch->weightEdit()->setText(QStringLiteral("0"));
  prompter.clear();
  EXPECT_FALSE(batch->exportXlsx(tmp.filePath(QStringLiteral("另一个.xlsx"))));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, batch->message()->text());
  EXPECT_FALSE(QFile::exists(tmp.filePath(QStringLiteral("另一个.xlsx"))));
}

}  // namespace
}  // namespace tessaro::test
