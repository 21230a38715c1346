// Every title and every value of the six grids readable in full: the
// windows after a calculation, the glaze properties and both libraries.
#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTest>

#include <algorithm>
#include <utility>

#include "ui/libraryform.h"
#include "ui/readablecolumns.h"
#include "windows_fixture.h"

namespace tessaro::test {
namespace {

// The pixels a text takes in `font`: a lower bound of what its column needs.
int advance(const QFont& font, const QString& text) { return QFontMetrics(font).horizontalAdvance(text); }

// Whether every shown column of `view` is at least as wide as its design
// width, its title and its widest value need (the view's own size hints),
// and wider than the title's and each value's text in the font it is drawn in.
::testing::AssertionResult readable(const QTableView& view, app::Grid grid, const char* name) {
  const QAbstractItemModel& m = *view.model();
  const QHeaderView& titles = *view.horizontalHeader();
  if (view.textElideMode() != Qt::ElideNone || titles.textElideMode() != Qt::ElideNone)
    return ::testing::AssertionFailure() << name << " elides its texts";
  for (int c = 0; c < m.columnCount(); ++c) {
    if (view.isColumnHidden(c)) continue;
    const int width = view.columnWidth(c);
    const int design = app::gridColumns(grid)[std::size_t(c)].width;
    int needed = std::max({design, ui::readableWidth(view, c), 1 + advance(titles.font(),
                                                                              m.headerData(c, Qt::Horizontal).toString())});
    for (int r = 0; r < m.rowCount(); ++r) {
      const QModelIndex i = m.index(r, c);
      const QVariant font = i.data(Qt::FontRole);
      needed = std::max(needed, 1 + advance(font.isValid() ? font.value<QFont>() : view.font(), i.data().toString()));
    }
    if (width < needed) {
      return ::testing::AssertionFailure() << name << " column " << c << " ("
                                           << m.headerData(c, Qt::Horizontal).toString().toStdString() << ") is "
                                           << width << " wide, needs " << needed;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(WindowsTest, EveryTitleAndValueFitsItsColumnAndARemarkTypedInWidensIt) {
  start();
  find("TB4")->trigger();
  find("TB9")->trigger();
  find("TB2")->trigger();
  find("TB3")->trigger();
  find("TB1")->trigger();
  QApplication::processEvents();
  const std::pair<app::WorkTable, app::Grid> mainGrids[] = {{app::WorkTable::Formula, app::Grid::Formula},
                                                            {app::WorkTable::Target, app::Grid::Target},
                                                            {app::WorkTable::Result, app::Grid::Result},
                                                            {app::WorkTable::Property, app::Grid::Property}};
  for (const auto& [table, grid] : mainGrids) {
    ASSERT_GT(form1().model(table)->rowCount(), 0);
    EXPECT_TRUE(readable(*form1().grid(table), grid, "main screen"));
  }
  EXPECT_TRUE(readable(*frame->materialLibrary()->grid(), app::Grid::MaterialLibrary, "material library"));
  EXPECT_TRUE(readable(*frame->targetLibrary()->grid(), app::Grid::TargetLibrary, "target library"));

  // A long remark typed into table 1 widens its column once it is in.
  QTableView* g1 = form1().grid(app::WorkTable::Formula);
  auto* m = form1().model(app::WorkTable::Formula);
  const int remark = m->columnOf(QStringLiteral("BZ"));
  const int before = g1->columnWidth(remark);
  ASSERT_TRUE(m->setData(m->index(0, remark), QStringLiteral("长石粉经水洗除铁后过二百目筛再煅烧")));
  QApplication::processEvents();
  EXPECT_GT(g1->columnWidth(remark), before);
  EXPECT_TRUE(readable(*g1, app::Grid::Formula, "table 1"));
}

// A grid remembers what it measured: the rows scrolled into view later, a
// text changed in a row already measured and a new font are measured afresh.
TEST(ReadableColumnsTest, RowsScrolledToTextsChangedAndANewFontAreMeasuredAgain) {
  QStandardItemModel m(1000, 2);
  for (int r = 0; r < m.rowCount(); ++r) {
    m.setItem(r, 0, new QStandardItem(QString::number(r)));
    m.setItem(r, 1, new QStandardItem(QStringLiteral("长石")));
  }
  const QString far = QStringLiteral("第九百行的长石粉经水洗除铁后过二百目筛再煅烧");
  m.item(900, 1)->setText(far);
  QTableView view;
  view.setModel(&m);
  view.resize(400, 300);
  ui::keepColumnsReadable(&view);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QApplication::processEvents();
  // Row 900 lies far beyond the rows measured so far.
  ASSERT_LT(view.columnWidth(1), 1 + advance(view.font(), far));

  view.scrollTo(m.index(900, 1));
  QApplication::processEvents();
  EXPECT_GE(view.columnWidth(1), 1 + advance(view.font(), far));
  EXPECT_GE(view.columnWidth(1), ui::readableWidth(view, 1));

  const QString longer = far + QStringLiteral("，再磨细");
  m.item(901, 1)->setText(longer);
  QApplication::processEvents();
  EXPECT_GE(view.columnWidth(1), 1 + advance(view.font(), longer));

  QFont big = view.font();
  big.setPixelSize(2 * QFontInfo(big).pixelSize());
  view.setFont(big);
  QApplication::processEvents();
  EXPECT_GE(view.columnWidth(1), 1 + advance(big, longer));
  EXPECT_GE(view.columnWidth(0), ui::readableWidth(view, 0));
}

}  // namespace
}  // namespace tessaro::test
