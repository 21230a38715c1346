// The two reports rendered to PDF from the bundled data and read back.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <set>

#include "app/mainscreen_fixture.h"
#include "pdf_text.h"
#include "report/reportcontent.h"
#include "report/reportpainter.h"

namespace tessaro::test {
namespace {

using app::WorkTable;

class ReportTest : public MainScreenTest {
 protected:
  // Runs the calculation on the bundled tables through a main screen.
  void calculate() {
    open();
    ASSERT_TRUE(screen->calculate());
  }

  // Reads and writes both reports as the command line does into `pdf`; a
  // failure names the step. Assert on it: the caller's test stops there.
  testing::AssertionResult render(QString* pdf, report::FormulaReportContent* formulaOut = nullptr,
                                  std::pair<int, int>* pages = nullptr,
                                  report::PropertyReportContent* propertyOut = nullptr) {
    report::ReportTables tables;
    QString error;
    if (!tables.open(base(), &error)) return testing::AssertionFailure() << "open: " << error.toStdString();
    const QStringList captions = screen ? screen->formulaCaptions() : QStringList();
    const auto formula = report::readFormulaReport(tables, captions);
    const auto property = report::readPropertyReport(tables.property);
    tables.closeAll();
    *pdf = tmp.filePath(QStringLiteral("report.pdf"));
    if (!report::writeReportsPdf(*pdf, formula, property.rows.empty() ? nullptr : &property, &error, pages))
      return testing::AssertionFailure() << "write: " << error.toStdString();
    if (formulaOut) *formulaOut = formula;
    if (propertyOut) *propertyOut = property;
    return testing::AssertionSuccess();
  }

  static QStringList lines(const QString& text) { return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

  // The printed line that starts with `head`.
  static QString lineStarting(const QString& text, const QString& head) {
    for (const QString& l : lines(text)) {
      if (l.startsWith(head)) return l;
    }
    return QString();
  }

  void SetUp() override {
    MainScreenTest::SetUp();
    if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
  }
};

TEST_F(ReportTest, FormulaReportPrintsItsTextsTheUsedMaterialsAndTheSummary) {
  // A merged K/Na column and a user-named other oxide, read at the main screen's start.
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "12", "K/NaO"));
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "13", "***"));
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "14", "B2O3"));
  ASSERT_NO_FATAL_FAILURE(calculate());
  report::FormulaReportContent content;
  std::pair<int, int> pages;
  QString pdf;
  ASSERT_TRUE(render(&pdf, &content, &pages));
  EXPECT_EQ(pages, std::make_pair(1, 0));  // no property calculation yet
  EXPECT_EQ(pdfPages(pdf), 1);
  const QString text = pdfText(pdf);

  for (const char* fixed : {"配方百分配比", "（含灼减）", "化学组成(不含灼减)", "目标配方", "配方1 化学组成",
                            "配方2 化学组成", "第", "页"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(fixed))) << fixed;
  }
  EXPECT_EQ(lines(text).value(0), QStringLiteral("透明釉(石灰釉)_计算结果"));
  EXPECT_EQ(content.date, table(WorkTable::Result).text("DATE"));
  EXPECT_TRUE(text.contains(content.date));
  EXPECT_EQ(lineStarting(text, QStringLiteral("名称")),
            QStringLiteral("名称 配方1 配方2 SiO2 AL2O3 Fe2O3 TiO2 CaO MgO K/NaO *** B2O3 其它2 其它3 合计 单价 备注"));

  // The materials in use, in BH order, with their figures; the others not at all.
  EXPECT_EQ(lineStarting(text, QStringLiteral("钾长石")),
            QStringLiteral("钾长石(Custer) 29.48 29.48 69.45 17.09 0.1 0 0.3 0 10.05 3.02 0 0 0 99.83 1600 "
                           "美国南达科他钾长石典型值"));
  for (const char* used : {"钠长石(Minspar 200)", "石英(325目)", "方解石(碳酸钙)", "白云石", "高岭土(EPK)"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(used))) << used;
  }
  EXPECT_FALSE(text.contains(QStringLiteral("滑石")));
  EXPECT_FALSE(text.contains(QStringLiteral("硅灰石")));
  ASSERT_EQ(content.rows.size(), 6u);

  // The summary: the target, then both result records as stored.
  EXPECT_TRUE(lineStarting(text, QStringLiteral("目标配方")).startsWith(QStringLiteral("目标配方 透明釉(石灰釉) 68.23 11.3")));
  store::Table& result = table(WorkTable::Result);
  ASSERT_TRUE(result.first());
  const QString cost = QString::fromStdString(core::formatGeneral(result.number("DJ")));
  EXPECT_TRUE(lineStarting(text, QStringLiteral("配方1 化学组成")).contains(QStringLiteral(" 100 ") + cost + " "))
      << lineStarting(text, QStringLiteral("配方1 化学组成")).toStdString();
  EXPECT_EQ(content.formulas[0].remark, result.text("BZ"));
  ASSERT_TRUE(result.next());
  EXPECT_EQ(content.formulas[1].cost, QString::fromStdString(core::formatGeneral(result.number("DJ"))));
}

TEST_F(ReportTest, TextLayerGivesEveryCharacterAsPrinted) {
  // A caption in traditional forms, which the Song face lacks.
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "16", "五氧化二磷和氧化锆的混合物(長石)"));
  ASSERT_NO_FATAL_FAILURE(calculate());
  ASSERT_TRUE(screen->glazeProperties());
  report::FormulaReportContent formula;
  report::PropertyReportContent property;
  QString pdf;
  ASSERT_TRUE(render(&pdf, &formula, nullptr, &property));
  const QString text = pdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("配方")));

  // Everything the reports draw: their own texts and what the tables hold.
  QStringList drawn{QStringLiteral("配方百分配比（含灼减）化学组成(不含灼减)名称合计单价备注目标配方第页配方性能"),
                    formula.title, formula.date, formula.target.name, formula.target.remark};
  for (const QString& t : formula.oxideTitles) drawn << t;
  for (const report::FormulaRow& row : formula.rows) drawn << row.name << row.remark;
  for (const report::FormulaSummary& f : formula.formulas) drawn << f.remark;
  for (const report::PropertyRow& row : property.rows) drawn << QStringList(row.cells.begin(), row.cells.end());
  // The Chinese characters (and full-width forms) of a text, each once, in code point order.
  auto chinese = [](const QString& s) {
    std::set<char16_t> set;
    for (const QChar c : s) {
      if (c.unicode() >= 0x2E80) set.insert(c.unicode());
    }
    QString out;
    for (const char16_t c : set) out += QChar(c);
    return out;
  };
  const QString printed = chinese(text);
  const QString expected = chinese(drawn.join(QString()));
  EXPECT_TRUE(printed == expected) << "printed " << printed.toStdString() << "\ndrawn   " << expected.toStdString();
  // No radical stands for the character of the same shape (⽅ for 方).
  EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF; }))
      << printed.toStdString();
}

TEST_F(ReportTest, UnreadableCellOfARecordWithoutNameIsNamedByItsNumber) {
  ASSERT_TRUE(fill("结果.DBF", {{{"BH", "1＃配比"}, {"DJ", "812.25"}}, {{"BH", "2＃配比"}, {"DJ", "799"}}}));
  {
    // Letters in the DJ bytes of the second record.
    store::Table t;
    ASSERT_TRUE(t.open(data("结果.DBF")));
    const store::dbf::Field field = t.fieldAt(t.fieldIndex("DJ"));
    ASSERT_TRUE(t.close());
    QFile f(data("结果.DBF"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray header = f.read(12);
    const int headerLength = quint8(header[8]) | quint8(header[9]) << 8;
    const int recordLength = quint8(header[10]) | quint8(header[11]) << 8;
    ASSERT_TRUE(f.seek(headerLength + recordLength + field.offset));
    ASSERT_EQ(f.write(QByteArray("abc").leftJustified(field.length)), field.length);
  }
  report::ReportTables tables;
  QString error;
  ASSERT_TRUE(tables.open(base(), &error)) << error.toStdString();
  const report::FormulaReportContent content = report::readFormulaReport(tables, {});
  EXPECT_EQ(content.problems,
            QStringList{QStringLiteral("数据表 数据库/结果.DBF 中第 2 条记录的“DJ”栏内容不合字段类型，按原样打印。")});
  EXPECT_EQ(content.formulas[1].cost, "abc");
}

TEST_F(ReportTest, EmptyNumbersPrintAsZero) {
  ASSERT_NO_FATAL_FAILURE(calculate());
  {
    store::Table formula;
    ASSERT_TRUE(formula.open(base(), app::kFormulaTableName));
    ASSERT_TRUE(formula.append());
    ASSERT_TRUE(formula.setText("NAME", "空值原料"));
    ASSERT_TRUE(formula.setText("BH", "1"));
    ASSERT_TRUE(formula.post());
    store::Table target;
    ASSERT_TRUE(target.open(base(), app::kTargetTableName));
    ASSERT_TRUE(target.edit());
    ASSERT_TRUE(target.clear("FE2O3"));
    ASSERT_TRUE(target.post());
  }
  report::FormulaReportContent content;
  QString pdf;
  ASSERT_TRUE(render(&pdf, &content));
  const QString text = pdfText(pdf);
  // NUM1, NUM2, eleven oxides, total and price: fifteen zeros, no remark.
  EXPECT_EQ(lineStarting(text, QStringLiteral("空值原料")), QStringLiteral("空值原料") + QStringLiteral(" 0").repeated(15));
  EXPECT_EQ(content.target.oxides[2], "0");
  EXPECT_TRUE(lineStarting(text, QStringLiteral("目标配方")).startsWith(QStringLiteral("目标配方 透明釉(石灰釉) 68.23 11.3 0 0.04")));
}

TEST_F(ReportTest, SingleResultRowFillsBothFormulaRows) {
  ASSERT_TRUE(fill("结果.DBF", {{{"BH", "1＃配比"}, {"SIO2", "70.5"}, {"HJ", "100"}, {"DJ", "812.25"},
                                 {"BZ", "唯一记录"}, {"DATE", "20240305"}}}));
  report::FormulaReportContent content;
  QString pdf;
  ASSERT_TRUE(render(&pdf, &content));
  const QString text = pdfText(pdf);
  EXPECT_EQ(content.formulas[0].oxides, content.formulas[1].oxides);
  EXPECT_EQ(content.formulas[1].cost, "812.25");
  EXPECT_EQ(content.formulas[1].remark, "唯一记录");
  const QString row = QStringLiteral(" 70.5 0 0 0 0 0 0 0 0 0 0 100 812.25 唯一记录");
  EXPECT_EQ(lineStarting(text, QStringLiteral("配方1 化学组成")), QStringLiteral("配方1 化学组成") + row);
  EXPECT_EQ(lineStarting(text, QStringLiteral("配方2 化学组成")), QStringLiteral("配方2 化学组成") + row);
  EXPECT_TRUE(text.contains(QStringLiteral("2024年03月05日")));
}

TEST_F(ReportTest, EmptyResultTableLeavesTheSummaryCellsEmpty) {
  ASSERT_TRUE(fill("结果.DBF", {}));
  ASSERT_TRUE(fill("目标配方.DBF", {}));
  report::FormulaReportContent content;
  QString pdf;
  ASSERT_TRUE(render(&pdf, &content));
  const QString text = pdfText(pdf);
  EXPECT_EQ(content.title, "_计算结果");
  EXPECT_TRUE(content.date.isEmpty());
  for (const auto& f : content.formulas) {
    EXPECT_TRUE(f.cost.isEmpty() && f.total.isEmpty() && f.remark.isEmpty() && f.oxides[0].isEmpty());
  }
  EXPECT_EQ(lineStarting(text, QStringLiteral("配方1 化学组成")), QStringLiteral("配方1 化学组成"));
  EXPECT_EQ(lineStarting(text, QStringLiteral("目标配方")), QStringLiteral("目标配方"));
  // Nothing was left open: the tables can be opened exclusively again.
  store::Table result;
  EXPECT_TRUE(result.open(base(), app::kResultTableName, store::Table::Mode::Exclusive)) << result.errorString().toStdString();
}

TEST_F(ReportTest, ManyRowsContinueOnANewPageUnderTheColumnHeaders) {
  std::vector<Row> rows;
  for (int i = 1; i <= 40; ++i) {
    Row r = material(QStringLiteral("原料%1").arg(i, 2, 10, QLatin1Char('0')), {50, 20});
    r.push_back({"BH", "1"});
    rows.push_back(r);
  }
  ASSERT_TRUE(fill("配方.DBF", rows));
  std::pair<int, int> pages;
  QString pdf;
  ASSERT_TRUE(render(&pdf, nullptr, &pages));
  EXPECT_EQ(pages.first, 2);
  EXPECT_EQ(pdfPages(pdf), 2);
  const QString first = pdfText(pdf, 1, 1);
  const QString second = pdfText(pdf, 2, 2);
  EXPECT_TRUE(first.contains(QStringLiteral("原料01")) && !first.contains(QStringLiteral("原料40")));
  EXPECT_TRUE(second.contains(QStringLiteral("原料40")) && !second.contains(QStringLiteral("原料01")));
  EXPECT_TRUE(second.contains(QStringLiteral("名称 配方1 配方2")));
  EXPECT_FALSE(first.contains(QStringLiteral("配方1 化学组成")));
  EXPECT_TRUE(second.contains(QStringLiteral("配方1 化学组成")));
  EXPECT_FALSE(second.contains(QStringLiteral("_计算结果")));  // the title band is on the first page only
  EXPECT_TRUE(QRegularExpression(QStringLiteral("第\\s*2\\s*页")).match(second).hasMatch());
}

TEST_F(ReportTest, PropertyReportFollowsWhenThePropertyTableHoldsRows) {
  ASSERT_TRUE(fill("性能.dbf", {{{"NAME0", "1＃配比"}, {"RONAME0", "CaO"}, {"RO0", "0.654321"}, {"R2O3NAME0", "Al2O3"},
                                 {"R2O30", "0.35"}, {"RO2NAME0", "SiO2"}, {"RO20", "3.9"}, {"NAME1", "2＃配比"},
                                 {"RONAME1", "MgO"}, {"RO1", ""}, {"R2O3NAME1", "B2O3"}, {"R2O31", "0.1"},
                                 {"RO2NAME1", "SiO2"}, {"RO21", "4"}},
                                {{"NAME0", "始熔温度"}, {"RO0", "1215.5"}}}));
  std::pair<int, int> pages;
  QString pdf;
  ASSERT_TRUE(render(&pdf, nullptr, &pages));
  EXPECT_EQ(pages, std::make_pair(1, 1));
  ASSERT_EQ(pdfPages(pdf), 2);
  const QString text = pdfText(pdf, 2, 2);
  EXPECT_EQ(lines(text).value(0), QStringLiteral("配方性能"));
  EXPECT_EQ(lines(text).value(1),
            QStringLiteral("1＃配比 CaO 0.654321 Al2O3 0.35 SiO2 3.9 2＃配比 MgO 0 B2O3 0.1 SiO2 4"));
  // Empty numbers print 0, empty texts nothing.
  EXPECT_EQ(lines(text).value(2), QStringLiteral("始熔温度 1215.5 0 0 0 0 0"));
  EXPECT_FALSE(text.contains(QStringLiteral("第")));  // no page footer
}

}  // namespace
}  // namespace tessaro::test
