// The main screen never computes from, nor writes into, a table it cannot
// trust, and checks every table a command uses before anything changes.
#include <QFile>

#include "store/schemas.h"

#include "mainscreen_fixture.h"

namespace tessaro::test {
namespace {

using app::WorkTable;

int u16At(const QByteArray& b, int at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

class DataSafetyTest : public MainScreenTest {
 protected:
  // Cuts the table file in the middle of its record `n` (1-based).
  void cutInRecord(const QString& file, int n) {
    QByteArray b = readFile(data(file));
    ASSERT_GT(b.size(), 12);
    b.truncate(u16At(b, 8) + (n - 1) * u16At(b, 10) + u16At(b, 10) / 2);
    ASSERT_TRUE(writeFile(data(file), b));
  }
  std::array<QByteArray, 4> workingFiles() {
    return {readFile(data("配方.DBF")), readFile(data("目标配方.DBF")), readFile(data("结果.DBF")),
            readFile(data("性能.dbf"))};
  }
};

TEST_F(DataSafetyTest, DamagedWorkingTableIsReportedOnceAndNoCommandUsesIt) {
  ASSERT_NO_FATAL_FAILURE(cutInRecord("配方.DBF", 4));
  open();
  ASSERT_EQ(prompter.messages.size(), 1u);
  const QString damage = prompter.messages[0].text;
  EXPECT_TRUE(damage.startsWith(QStringLiteral("表文件 数据库/配方.DBF 已损坏："))) << damage.toStdString();
  EXPECT_EQ(prompter.messages[0].icon, app::Icon::Warning);

  const auto before = workingFiles();
  const QString refusal = damage + app::kCR + app::kNotRunText;
  prompter.clear();
  EXPECT_FALSE(screen->calculate());
  EXPECT_EQ(prompter.texts(), QStringList{refusal});
  prompter.clear();
  prompter.answers = {QStringLiteral("1")};
  EXPECT_FALSE(screen->verify());
  EXPECT_EQ(prompter.texts(), QStringList{refusal});
  prompter.clear();
  EXPECT_FALSE(screen->toggleKNa());
  EXPECT_EQ(prompter.texts(), QStringList{refusal});
  prompter.clear();
  EXPECT_FALSE(screen->clearMainData());
  EXPECT_EQ(prompter.texts(), QStringList{refusal});
  EXPECT_EQ(workingFiles(), before);
}

TEST_F(DataSafetyTest, PropertiesRefuseADamagedResultTable) {
  open();
  ASSERT_TRUE(screen->calculate());
  screen.reset();
  ASSERT_NO_FATAL_FAILURE(cutInRecord("结果.DBF", 2));
  open();
  const auto before = workingFiles();
  prompter.clear();
  EXPECT_FALSE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("表文件 数据库/结果.DBF 已损坏："))) << prompter.messages[0].text.toStdString();
  EXPECT_EQ(workingFiles(), before);
}

TEST_F(DataSafetyTest, CalculationChecksEveryTableBeforeChangingAny) {
  open();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->bodyProperties());  // rows in the property table
  screen.reset();
  // Another program holds the result table, so the main screen cannot open it.
  const AnotherProgramLocks holder(data("结果.DBF"), true);
  ASSERT_TRUE(holder.locked());
  open();
  const auto before = workingFiles();
  prompter.clear();
  EXPECT_FALSE(screen->calculate());
  EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("数据表 数据库/结果.DBF 未能打开，不能执行此命令。")});
  EXPECT_EQ(workingFiles(), before);
}

TEST_F(DataSafetyTest, MissingFieldIsNamedAsMissing) {
  // The formula table without its price field.
  std::vector<store::FieldSpec> fields = store::schema::formula();
  std::erase_if(fields, [](const store::FieldSpec& f) { return f.name == QLatin1String("DJ"); });
  ASSERT_TRUE(QFile::remove(data("配方.DBF")));
  ASSERT_TRUE(store::Table::create(data("配方.DBF"), fields));
  Row quartz = material(QStringLiteral("石英"), {100});
  quartz.erase(std::remove_if(quartz.begin(), quartz.end(), [](const auto& p) { return p.first == "DJ"; }), quartz.end());
  ASSERT_TRUE(fill("配方.DBF", {quartz}));
  open();
  prompter.clear();
  EXPECT_FALSE(screen->calculate());
  EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("数据表 数据库/配方.DBF 中没有“DJ”栏，命令已停止。")});
}

// Packing from the window: the cursors the library windows and a print
// preview hold on the six files step aside.
TEST_F(DataSafetyTest, PackSucceedsWhileOtherCursorsOfTheProgramAreOpen) {
  open();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->calculate());  // deleted records in the result table
  std::vector<std::unique_ptr<store::Table>> others;
  for (const char* f : {"配方.DBF", "目标配方.DBF", "结果.DBF", "性能.dbf", "YLK.DBF", "pfk.dbf", "YLK.DBF"}) {
    others.push_back(std::make_unique<store::Table>());
    ASSERT_TRUE(others.back()->open(data(QString::fromUtf8(f)))) << others.back()->errorString().toStdString();
  }
  bool quit = false;
  screen->setQuitHandler([&] { quit = true; });
  prompter.clear();
  prompter.buttons = {app::Button::Ok};
  screen->pack();
  EXPECT_EQ(prompter.texts().last(), QStringLiteral("退出程序后，整理数据库成功!")) << prompter.texts().join("|").toStdString();
  EXPECT_TRUE(screen->packSucceeded());
  EXPECT_TRUE(quit);
  EXPECT_EQ(headerCount(data("结果.DBF")), 2u);
  EXPECT_EQ(others[2]->recordCount(), 2);
}

TEST_F(DataSafetyTest, PackSaysWhatItMendedAndNamesTheDamageItRefuses) {
  // The target table's header claims 31 bytes more than it has: mended.
  QByteArray target = readFile(data("目标配方.DBF"));
  const int hl = u16At(target, 8);
  target[8] = static_cast<char>((hl + 31) & 0xFF);
  target[9] = static_cast<char>((hl + 31) >> 8);
  ASSERT_TRUE(writeFile(data("目标配方.DBF"), target));
  // The material library is cut inside a record: left as it is.
  ASSERT_NO_FATAL_FAILURE(cutInRecord("YLK.DBF", 3));
  const QByteArray library = readFile(data("YLK.DBF"));
  open();
  screen->setQuitHandler([] {});
  prompter.clear();
  prompter.buttons = {app::Button::Ok};
  screen->pack();
  const QStringList texts = prompter.texts();
  ASSERT_EQ(texts.size(), 4) << texts.join("|").toStdString();
  EXPECT_TRUE(texts[1].startsWith(QStringLiteral("表文件 数据库/目标配方.DBF 的表头与文件内容不符，已按文件本身的结构修复：表头长度由")))
      << texts[1].toStdString();
  EXPECT_TRUE(texts[2].startsWith(QStringLiteral("表文件 数据库/YLK.DBF 已损坏：")) && texts[2].endsWith(QStringLiteral("没有整理，文件保持原样。")))
      << texts[2].toStdString();
  EXPECT_EQ(texts[3], QStringLiteral("整理数据库失败!"));
  EXPECT_EQ(readFile(data("YLK.DBF")), library);
  store::Table t;
  ASSERT_TRUE(t.open(data("目标配方.DBF")));
  EXPECT_FALSE(t.isDamaged());
  EXPECT_EQ(t.text("NAME"), QStringLiteral("透明釉(石灰釉)"));
}

}  // namespace
}  // namespace tessaro::test
