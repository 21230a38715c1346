// The factor sets as the data folder lists them, and the sentences the
// window and the command line show for a formula. The arithmetic is tested
// in tests/core.
#include "app/expansionsets.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bundled_data.h"

using namespace tessaro;

TEST(ExpansionSets, AppenFirstThenTheOthersSorted) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("数据库")));
  for (const char* name : {"膨胀系数_West-Gerrow.ini", "膨胀系数_English-Turner.ini", "膨胀系数_appen.INI", "膨胀系数_.ini",
                           "KuTitle.ini"}) {
    QFile f(dir.path() + QStringLiteral("/数据库/") + QString::fromUtf8(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(app::expansionSetNames(dir.path()),
            (QStringList{QStringLiteral("appen"), QStringLiteral("English-Turner"), QStringLiteral("West-Gerrow")}));
}

// Why a formula has no coefficient, and the verdict's wording on each side.
TEST(ExpansionSets, SentencesNameTheFileTheOxidesAndTheMargins) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(test::copyBundledData(dir.path()));
  QString error;
  const auto appen = app::loadExpansionSet(dir.path(), QStringLiteral("APPEN"), &error);
  ASSERT_TRUE(appen) << error.toStdString();
  const auto ws = app::loadExpansionSet(dir.path(), QStringLiteral("Winkelmann-Schott"), &error);
  ASSERT_TRUE(ws) << error.toStdString();

  app::FitInputs inputs;
  core::ResultFormula f{"1＃配比", {}};
  f.contents[core::SIO2] = 70;
  f.contents[core::FE2O3] = 1;
  f.contents[core::CAO] = 15;
  f.contents[core::QTCF1] = 5;
  inputs.formulas = {f};
  inputs.others = {core::OtherOxide{"B2O3", std::nullopt}, core::OtherOxide{"其它2", 1.0}, core::OtherOxide{"其它3", 1.0}};

  auto e = app::formulaExpansions(inputs, *ws, 60.0);
  EXPECT_EQ(e[0].explanation, QStringLiteral("缺少 Fe2O3 的膨胀因子（数据库/膨胀系数_Winkelmann-Schott.ini），无法计算"));
  EXPECT_TRUE(e[0].fit.isEmpty());
  e = app::formulaExpansions(inputs, *appen, 60.0);
  EXPECT_EQ(e[0].explanation,
            QStringLiteral("B2O3 在设置文件（数据库/KuTitle.ini）中没有可用的分子量，不能换算为摩尔百分数，无法计算"));

  EXPECT_EQ(app::fitVerdictText(core::judgeFit(63.2, 60)),
            QStringLiteral("釉比坯高 3.2×10⁻⁷/°C：有釉裂的危险（釉的膨胀系数高于坯）"));
  EXPECT_EQ(app::fitVerdictText(core::judgeFit(57, 60)),
            QStringLiteral("釉比坯低 3.0×10⁻⁷/°C，未超过坯的 10%（6.0×10⁻⁷/°C）：坯釉适应（釉受轻微压应力）"));
  EXPECT_EQ(app::fitVerdictText(core::judgeFit(50, 60)),
            QStringLiteral("釉比坯低 10.0×10⁻⁷/°C，超过坯的 10%（6.0×10⁻⁷/°C）：有剥釉的危险（釉的膨胀系数比坯低得过多）"));
}
