// The libraries' CSV files: export, the check of every cell before import,
// all or nothing, adding or replacing.
#include "app/librarycsv.h"

#include "library_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;

const QString kCR = QString(QChar(u'\r'));

class LibraryCsvTest : public LibraryTest {
 protected:
  QString csv(const QString& name = QStringLiteral("lib.csv")) const { return tmp.path() + u'/' + name; }
  // Writes a CSV file (UTF-8 with a byte-order mark) from lines without their ends.
  QString write(const QStringList& lines) const {
    EXPECT_TRUE(writeFile(csv(), "\xEF\xBB\xBF" + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8()));
    return csv();
  }
  QString lastText() const { return prompter.messages.empty() ? QString() : prompter.messages.back().text; }
  // The header of the material library's file, as export writes it.
  static QString materialHeader() {
    return QStringLiteral("编号 [BH],原料名称 [NAME],SiO2 [SIO2],Al2O3 [AL2O3],Fe2O3 [FE2O3],TiO2 [TIO2],CaO [CAO],"
                          "MgO [MGO],K2O [K2O],Na2O [NA2O],其它1 [QTCF1],其它2 [QTCF2],其它3 [QTCF3],灼减 [IL],"
                          "合计 [HJ],单价(元/吨) [DJ],备注 [BZ],日期 [DATE]");
  }
};

TEST_F(LibraryCsvTest, ExportThenImportIntoAnEmptyLibraryGivesTheSameRecordsByteForByte) {
  for (const QString& file : {materialsFile, targetsFile}) {
    const QByteArray before = readFile(data(file));
    app::Library& lib = file == materialsFile ? materials() : targets();
    ASSERT_TRUE(lib.exportCsv(csv()));
    const QByteArray text = readFile(csv());
    EXPECT_TRUE(text.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(text.contains("\r\n2,"));
    EXPECT_TRUE(text.contains(",2026-12-09\r\n"));  // dates year first
    library.reset();
    ASSERT_TRUE(fill(file, {}));
    ASSERT_TRUE((file == materialsFile ? materials() : targets()).importCsv(csv()));
    const QByteArray after = readFile(data(file));
    // Only the header's date of last update may differ.
    EXPECT_EQ(after.left(1), before.left(1));
    EXPECT_EQ(after.mid(4), before.mid(4)) << file.toStdString();
  }
  EXPECT_EQ(prompter.texts(),
            QStringList({QStringLiteral("已把原料库的 26 条记录（其中分类行 5 条）导出到 CSV 文件 %1。").arg(csv()),
                         QStringLiteral("已从 CSV 文件 %1 导入 26 条记录（其中分类行 5 条）到原料库。").arg(csv()),
                         QStringLiteral("已把目标库的 10 条记录（其中分类行 2 条）导出到 CSV 文件 %1。").arg(csv()),
                         QStringLiteral("已从 CSV 文件 %1 导入 10 条记录（其中分类行 2 条）到目标库。").arg(csv())}));
}

TEST_F(LibraryCsvTest, EveryCellIsCheckedAndARefusedFileChangesNothing) {
  const QByteArray before = readFile(data(materialsFile));
  const QString row = QStringLiteral(",0,0,0,0,0,0,0,0,0,10,100,1000,备注,2026-12-09");
  const QString path = write({materialHeader(), QStringLiteral("30,长石,abc,1.2345,0") + row.mid(2),
                              QStringLiteral("31,长石粉钠长石粉石英高岭土滑石粉末,50,40") + row,
                              QStringLiteral("30,好😀,50,40") + row, QStringLiteral(",\"两\n行\",50,40") + row,
                              QStringLiteral("33,x,50,40,0,0,0,0,0,0,0,0,0,10,100,1000,备注,12/9/2026"),
                              QStringLiteral("34,y,50"), QStringLiteral(",,,,,,,,,,,,,,,,,"),
                              QStringLiteral("35,z,1234567.5,40") + row});
  ASSERT_FALSE(materials().importCsv(path));
  EXPECT_EQ(lastText(),
            QStringLiteral("CSV 文件 %1 没有导入，原料库没有改动：").arg(path) + kCR +
                QStringLiteral("第 2 行 C 列 SiO2（SIO2）：不能写入“abc”：不是数字") + kCR +
                QStringLiteral("第 2 行 D 列 Al2O3（AL2O3）：不能写入“1.2345”：最多 3 位小数") + kCR +
                QStringLiteral("第 3 行 B 列 原料名称（NAME）：放不下“长石粉钠长石粉石英高岭土滑石粉末”：最多 30 个字节（一个汉字占 2 个字节），"
                               "这段文字有 32 个字节，请改短") + kCR +
                QStringLiteral("第 4 行 A 列 编号（BH）：编号 30 与第 2 行的相同，编号不能重复") + kCR +
                QStringLiteral("第 4 行 B 列 原料名称（NAME）：不能保存字符“😀”：GBK 里没有这个字") + kCR +
                QStringLiteral("第 5 行 A 列 编号（BH）：不能为空，每条记录都要有编号") + kCR +
                QStringLiteral("第 5 行 B 列 原料名称（NAME）：文字里有换行、制表符等控制字符，表文件里不能保存") + kCR +
                QStringLiteral("第 6 行 R 列 日期（DATE）：“12/9/2026”不是日期，请写成“年-月-日”，如 2026-12-09") + kCR +
                QStringLiteral("第 7 行：有 3 个单元格，第 1 行有 18 个") + kCR +
                QStringLiteral("第 9 行 C 列 SiO2（SIO2）：放不下数值 1234567.5（宽 10，小数 3 位）"));
  EXPECT_EQ(readFile(data(materialsFile)), before);  // not a byte written

  write({QStringLiteral("[BH],NAME,[SIO2],[SIO2],[XX]")});
  ASSERT_FALSE(materials().importCsv(csv()));
  const QStringList lines = lastText().split(kCR);
  ASSERT_EQ(lines.size(), 18);  // the first line, 2 cells, and 15 fields missing
  EXPECT_EQ(lines[1], QStringLiteral("第 1 行 D 列：字段 SIO2 在 C 列已经有了"));
  EXPECT_EQ(lines[2], QStringLiteral("第 1 行 E 列“[XX]”：原料库没有字段 XX（第 1 行须是“标题 [字段名]”或字段名）"));
  EXPECT_EQ(lines[3], QStringLiteral("第 1 行：缺少列 Al2O3（AL2O3）"));
  EXPECT_EQ(readFile(data(materialsFile)), before);
}

TEST_F(LibraryCsvTest, AddingAppendsAfterTheLibraryAndReplacingTakesItsPlaceOnlyWhenAsked) {
  // The columns in another order, numbers and dates as a spreadsheet writes them back.
  const QString path = write({QStringLiteral("[NAME],备注 [BZ],[BH],") + materialHeader().section(u',', 2, 15) +
                                  QStringLiteral(",[DATE]"),
                              QStringLiteral("\"新料\",\"来自, 表格\",40,50,40,0,0,0,0,0,0,0,0,0,10,100,800,2026/1/5"),
                              QStringLiteral("\"*新类*\",,30,,,,,,,,,,,,,,,")});
  app::Library& lib = materials();
  const QString question = QStringLiteral("CSV 文件 %1 检查无误，有 2 条记录（其中分类行 1 条）；原料库现有 26 条记录。").arg(path) +
                           kCR + QStringLiteral("选“是”：把这些记录添加在现有记录之后；") + kCR +
                           QStringLiteral("选“否”：用这些记录替换原料库的全部记录（原有记录删除后不能恢复）；") + kCR +
                           QStringLiteral("选“取消”：不导入。");
  const QByteArray before = readFile(data(materialsFile));
  ASSERT_FALSE(lib.importCsv(path));  // the default button: cancel
  EXPECT_EQ(prompter.messages.back().text, question);
  EXPECT_EQ(prompter.messages.back().buttons, (QList<Button>{Button::Yes, Button::No, Button::Cancel}));
  EXPECT_EQ(readFile(data(materialsFile)), before);

  prompter.buttons = {Button::Yes};
  ASSERT_TRUE(lib.importCsv(path));
  EXPECT_EQ(lastText(), QStringLiteral("已从 CSV 文件 %1 导入 2 条记录（其中分类行 1 条），添加在原料库原有的 26 条记录之后。").arg(path));
  store::Table& t = *lib.table();
  EXPECT_EQ(column(t, "BH").mid(24), QStringList({"25", "26", "30", "40"}));
  ASSERT_TRUE(t.last());
  EXPECT_EQ(t.text("BZ"), QStringLiteral("来自, 表格"));
  EXPECT_EQ(t.rawBytes("DJ"), "     800.000");
  EXPECT_EQ(t.date("DATE"), core::Date(2026, 1, 5));
  EXPECT_EQ(lib.tree().nodes.back(), QStringLiteral("*新类*"));

  // Again: the numbers no longer come after the library's.
  prompter.buttons = {Button::Yes};
  ASSERT_FALSE(lib.importCsv(path));
  EXPECT_EQ(lastText().split(kCR).mid(1),
            QStringList({QStringLiteral("第 3 行 C 列 编号（BH）：编号 30 不大于原料库现有的最大编号 40"),
                         QStringLiteral("第 2 行 C 列 编号（BH）：编号 40 不大于原料库现有的最大编号 40"),
                         QStringLiteral("添加的记录须排在现有记录之后：请把文件里的编号都改为大于 40 的数，或改为替换整个原料库。")}));

  prompter.buttons = {Button::No};
  ASSERT_TRUE(lib.importCsv(path));
  EXPECT_EQ(column(t, "NAME"), QStringList({"*新类*", "新料"}));
  EXPECT_EQ(lib.tree().nodes, QStringList({"*新类*"}));
}

}  // namespace
}  // namespace tessaro::test
