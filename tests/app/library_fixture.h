// A copy of the bundled data folder in a temporary folder, a main screen
// stand-in over its tables 1 and 2, and helpers that fill the libraries.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "bundled_data.h"
#include "app/library.h"
#include "app/transfersink.h"
#include "core/composition.h"
#include "scripted_prompter.h"
#include "store/fixtures.h"
#include "store/profile.h"
#include "store/table.h"

namespace tessaro::test {

// The main screen as the library windows see it, over real tables.
class TestSink : public app::TransferSink {
 public:
  store::Table formula, target;
  std::array<QString, 3> captions;
  std::array<bool, 3> formulaRed{}, targetRed{};
  QStringList calls;

  store::Table* formulaTable() override { return formula.isOpen() ? &formula : nullptr; }
  store::Table* targetTable() override { return target.isOpen() ? &target : nullptr; }
  QString formulaOtherCaption(int k) const override { return captions[std::size_t(k - 1)]; }
  void setOtherTitleRed(Grid grid, int k, bool red) override {
    (grid == Grid::Formula ? formulaRed : targetRed)[std::size_t(k - 1)] = red;
  }
  void recordTransferred() override { calls << QStringLiteral("transferred"); }
  void bringMainScreenForward() override { calls << QStringLiteral("forward"); }
  void showMainScreen() override { calls << QStringLiteral("showMainScreen"); }
  void compactDisplayOff() override { calls << QStringLiteral("compactOff"); }
  void hideResultGrid() override { calls << QStringLiteral("hideGrid3"); }
};

class LibraryTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  ScriptedPrompter prompter;
  TestSink sink;
  std::unique_ptr<app::Library> library;

  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(tessaro::test::copyBundledData(tmp.path()));
    ASSERT_TRUE(sink.formula.open(data(QStringLiteral("配方.DBF"))));
    ASSERT_TRUE(sink.target.open(data(QStringLiteral("目标配方.DBF"))));
    for (int k = 1; k <= 3; ++k) {
      sink.captions[std::size_t(k - 1)] = store::Profile::read(ini(), QStringLiteral("配方"), QString::number(13 + k));
    }
  }

  QString data(const QString& file = QString()) const { return tmp.path() + QStringLiteral("/数据库/") + file; }
  QString ini() const { return data(QStringLiteral("KuTitle.ini")); }
  static inline const QString materialsFile = QStringLiteral("YLK.DBF");
  static inline const QString targetsFile = QStringLiteral("pfk.dbf");

  // Replaces every record of a table file by `rows`; assert on it.
  [[nodiscard]] testing::AssertionResult fill(const QString& file, const std::vector<Row>& rows) {
    return fillTable(data(file), rows);
  }

  // A library window over the folder; it replaces the one opened before.
  app::Library& open(app::LibraryKind kind) {
    library = std::make_unique<app::Library>(kind, prompter, sink, tmp.path());
    return *library;
  }
  app::Library& materials() { return open(app::LibraryKind::Materials); }
  app::Library& targets() { return open(app::LibraryKind::Targets); }

  // A complete library record: BH, NAME, SIO2 and AL2O3, every other oxide 0,
  // IL and HJ as given; a price for the material library.
  static Row item(int bh, const QString& name, double sio2 = 50, double al2o3 = 40, double il = 10, double hj = 100,
                  bool price = true) {
    Row r{{"BH", QString::number(bh)}, {"NAME", name}, {"SIO2", QString::number(sio2)},
          {"AL2O3", QString::number(al2o3)}};
    for (std::string_view f : core::kOxideFields) {
      if (f != "SIO2" && f != "AL2O3") r.push_back({QLatin1String(f.data(), qsizetype(f.size())), "0"});
    }
    r.push_back({"IL", QString::number(il)});
    r.push_back({"HJ", QString::number(hj)});
    if (price) r.push_back({"DJ", "1000"});
    r.push_back({"BZ", name + QStringLiteral("备注")});
    r.push_back({"DATE", "20261209"});
    return r;
  }
  static Row targetItem(int bh, const QString& name, double sio2 = 60, double al2o3 = 30, double il = 10, double hj = 100) {
    return item(bh, name, sio2, al2o3, il, hj, false);
  }
  static Row category(int bh, const QString& name) { return {{"BH", QString::number(bh)}, {"NAME", name}}; }

  // A field of every record the cursor shows, in its current order.
  static QStringList column(store::Table& t, const QString& field) {
    const auto mark = t.bookmark();
    QStringList out;
    for (t.first(); !t.eof(); t.next()) out << t.text(field);
    if (mark.isValid()) t.gotoBookmark(mark);
    return out;
  }

  // Table 1 holding `n` complete raw materials; assert on it.
  [[nodiscard]] testing::AssertionResult formulaWith(int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i) {
      rows.push_back({{"NAME", QStringLiteral("原料%1").arg(i + 1)}, {"SIO2", "50"}, {"HJ", "100"}, {"IL", "0"}});
    }
    sink.formula.close();
    if (auto filled = fill(QStringLiteral("配方.DBF"), rows); !filled) return filled;
    if (!sink.formula.open(data(QStringLiteral("配方.DBF"))))
      return testing::AssertionFailure() << "open: " << sink.formula.errorString().toStdString();
    return testing::AssertionSuccess();
  }
};

}  // namespace tessaro::test
