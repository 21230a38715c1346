// The grids' vocabulary: where the titles come from, the other-oxide menu and
// the colours of the property grid's rows.
#include "app/gridcolumns.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/profile.h"

namespace tessaro::app {
namespace {

// A settings file whose every title key holds a text naming its section and key.
QString labelledSettings(const QTemporaryDir& dir) {
  const QString file = dir.filePath(QStringLiteral("KUTITLE.INI"));
  for (const auto& [section, label] :
       {std::pair{kFormulaSection, QStringLiteral("F")}, std::pair{kTargetSection, QStringLiteral("T")},
        std::pair{kResultSection, QStringLiteral("R")}}) {
    for (int k = 0; k <= 22; ++k) {
      if (!store::Profile::write(file, section, QString::number(k), label + QString::number(k))) return QString();
    }
  }
  return file;
}

QStringList labels(const QString& label, int from, int to) {
  QStringList l;
  for (int k = from; k <= to; ++k) l << label + QString::number(k);
  return l;
}

TEST(GridCaptions, TheMainScreenGridsReadTheirOwnKeysAndTheFormulaGridsOxides) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = labelledSettings(dir);
  ASSERT_FALSE(file.isEmpty());
  // Grid 1: 配方 0..22 by position.
  EXPECT_EQ(readCaptions(Grid::Formula, file), labels("F", 0, 22));
  // Grid 2: 目标配方 0..3, the oxides from 配方 6..16, hidden IL, 目标配方 16..18, hidden BH.
  const QStringList none(1, QString());
  EXPECT_EQ(readCaptions(Grid::Target, file),
            labels("T", 0, 3) + labels("F", 6, 16) + none + labels("T", 16, 18) + none);
  // Grid 3: 结果 0..1, the oxides from 配方 6..16, 结果 13..15, five hidden columns.
  const QStringList hidden(5, QString());
  EXPECT_EQ(readCaptions(Grid::Result, file), labels("R", 0, 1) + labels("F", 6, 16) + labels("R", 13, 15) + hidden);
}

TEST(GridCaptions, AnOxideColumnIsTitledByTheKeyThatNamingItWrites) {
  // Naming an oxide writes the formula grid's key; the other grids read it.
  for (const QString& field : oxideFields()) {
    const CaptionKey& written = gridColumns(Grid::Formula)[std::size_t(columnOf(Grid::Formula, field))].caption;
    EXPECT_EQ(written.section, kFormulaSection);
    for (Grid grid : {Grid::Target, Grid::Result}) {
      const CaptionKey& read = gridColumns(grid)[std::size_t(columnOf(grid, field))].caption;
      EXPECT_EQ(read.section, written.section) << field.toStdString();
      EXPECT_EQ(read.key, written.key) << field.toStdString();
    }
  }
  EXPECT_EQ(columnOf(Grid::Formula, QStringLiteral("K2O")), 12);
  EXPECT_EQ(columnOf(Grid::Formula, QStringLiteral("NA2O")), 13);
}

TEST(GridCaptions, OtherOxideColumns) {
  EXPECT_EQ(otherOxideField(2), "QTCF2");
  for (int column = 0; column < 23; ++column) {
    EXPECT_EQ(otherOxideAt(Grid::Formula, column), column >= 14 && column <= 16 ? column - 13 : 0) << column;
  }
  EXPECT_EQ(otherOxideAt(Grid::Target, 12), 1);
  EXPECT_EQ(otherOxideAt(Grid::Result, 12), 3);
  EXPECT_EQ(otherOxideAt(Grid::MaterialLibrary, 10), 1);
  EXPECT_EQ(otherOxideAt(Grid::Property, -1), 0);
}

// The columns of table 1 that a double click or a colour picks out, by position.
TEST(GridColumns, FormulaGridPositionsOfNamesProportionsAndMarks) {
  const std::vector<QString> fields = {fieldAt(Grid::Formula, 0), fieldAt(Grid::Formula, 1), fieldAt(Grid::Formula, 2),
                                       fieldAt(Grid::Formula, 5), fieldAt(Grid::Formula, 23)};
  EXPECT_EQ(fields, (std::vector<QString>{"NAME", "NUM1", "NUM2", "BXL3", ""}));
  EXPECT_EQ(fieldAt(Grid::Target, 0), "NAME");
  EXPECT_EQ(fieldAt(Grid::Target, -1), "");
  EXPECT_EQ(proportionFormula("NUM1"), 1);
  EXPECT_EQ(proportionFormula("NUM2"), 2);
  for (const char* other : {"NUM3", "NUM", "NUM10", "BXL1", "DJ"}) EXPECT_EQ(proportionFormula(other), 0) << other;
  EXPECT_EQ(mandatoryMark("BXL1"), 1);
  EXPECT_EQ(mandatoryMark("BXL3"), 3);
  for (const char* other : {"BXL0", "BXL4", "BXL", "NUM1"}) EXPECT_EQ(mandatoryMark(other), 0) << other;
}

// FE2O3 and TIO2 are grey in tables 1 and 2; only table 1 greys their titles,
// table 2's keep the sky blue of the other oxides with the default text.
TEST(GridColumns, IronAndTitaniumAreGreyWithGreyTitlesInTableOneOnly) {
  for (const char* field : {"FE2O3", "TIO2"}) {
    const GridColumn& formula = gridColumns(Grid::Formula)[std::size_t(columnOf(Grid::Formula, field))];
    const GridColumn& target = gridColumns(Grid::Target)[std::size_t(columnOf(Grid::Target, field))];
    EXPECT_EQ(formula.text, palette::kGrey) << field;
    EXPECT_EQ(formula.titleText, palette::kGrey) << field;
    EXPECT_EQ(target.text, palette::kGrey) << field;
    EXPECT_FALSE(target.titleText) << field;
    for (const GridColumn* c : {&formula, &target}) EXPECT_EQ(c->title, palette::kSkyBlue) << field;
  }
}

TEST(OtherOxideMenu, ElevenOxidesWithTheirWeightsInMenuOrder) {
  const QStringList names = {"B2O3", "BaO", "BeO", "Li2O", "MnO", "P2O5", "PbO", "SnO2", "SrO", "ZnO", "ZrO2"};
  const QStringList weights = {"69.62", "153.3", "25.01",  "29.88", "70.94", "141.94",
                               "223.2", "150.7", "103.62", "81.37", "123.22"};
  ASSERT_EQ(kOtherOxideMenu.size(), 11u);
  for (std::size_t i = 0; i < kOtherOxideMenu.size(); ++i) {
    EXPECT_EQ(QString::fromUtf16(kOtherOxideMenu[i].name), names[qsizetype(i)]) << i;
    EXPECT_EQ(QString::fromUtf16(kOtherOxideMenu[i].weight), weights[qsizetype(i)]) << i;
  }
  EXPECT_EQ(kFreeOtherOxide, "其它");
}

TEST(PropertyRowLook, EachKindOfRowHasItsColours) {
  const CellLook sums = propertyRowLook(QStringLiteral("一价系数"), QString());
  EXPECT_EQ(sums.background, palette::kYellow);
  EXPECT_EQ(sums.text, palette::kBlack);
  EXPECT_TRUE(sums.focusRectangle);
  const CellLook properties = propertyRowLook(QString(), QStringLiteral("耐火度"));
  EXPECT_EQ(properties.background, palette::kYellow);
  EXPECT_EQ(properties.text, palette::kFuchsia);
  EXPECT_TRUE(properties.focusRectangle);
  const CellLook acidity = propertyRowLook(QStringLiteral("酸性系数   "), QString());
  EXPECT_EQ(acidity.background, palette::kWhite);
  EXPECT_EQ(acidity.text, palette::kBlue);
  EXPECT_TRUE(acidity.focusRectangle);
  // A plain row keeps its columns' colours.
  const CellLook plain = propertyRowLook(QStringLiteral("ZnO"), QStringLiteral("二价系数"));
  EXPECT_FALSE(plain.background);
  EXPECT_FALSE(plain.text);
  EXPECT_FALSE(plain.focusRectangle);
}

}  // namespace
}  // namespace tessaro::app
