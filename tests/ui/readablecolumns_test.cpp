// Every title and every value of the six grids readable in full: the
// windows after a calculation, the glaze properties and both libraries.
#include <QApplication>
#include <QHeaderView>

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

}  // namespace
}  // namespace tessaro::test
