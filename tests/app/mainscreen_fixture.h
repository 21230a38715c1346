// A copy of the bundled data folder in a temporary folder, with helpers that
// fill its tables, and a main screen over it.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "bundled_data.h"
#include "app/framestate.h"
#include "app/mainscreen.h"
#include "scripted_prompter.h"
#include "core/format.h"
#include "store/profile.h"
#include "store/table.h"
#include "store/fixtures.h"

namespace tessaro::test {

class MainScreenTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  ScriptedPrompter prompter;
  app::FrameState frame;
  std::unique_ptr<app::MainScreen> screen;

  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(tessaro::test::copyBundledData(tmp.path()));
  }

  QString base() const { return tmp.path(); }
  QString data(const QString& file = QString()) const { return tmp.path() + QStringLiteral("/数据库/") + file; }
  QString ini() const { return data(QStringLiteral("KuTitle.ini")); }

  // Replaces every record of a table file by `rows`; assert on it.
  [[nodiscard]] testing::AssertionResult fill(const QString& file, const std::vector<Row>& rows) {
    return fillTable(data(file), rows);
  }

  app::MainScreen& open() {
    screen = std::make_unique<app::MainScreen>(prompter, frame, base());
    return *screen;
  }

  store::Table& table(app::WorkTable w) { return screen->table(w); }

  // A field of every record of a table in its current order.
  static QStringList column(store::Table& t, const QString& field) {
    QStringList out;
    for (t.first(); !t.eof(); t.next()) out << t.text(field);
    t.first();
    return out;
  }

  // A numeric field of every record, as the reports print it ("" when empty).
  static QStringList numbers(store::Table& t, const QString& field) {
    QStringList out;
    for (t.first(); !t.eof(); t.next()) {
      const auto v = t.value(field);
      out << (v ? QString::fromStdString(core::formatGeneral(*v)) : QString());
    }
    t.first();
    return out;
  }

  // A material row with the main oxides given in the order SIO2, AL2O3, CAO,
  // MGO, K2O, NA2O; everything else 0 and a price of 1.
  static Row material(const QString& name, std::vector<double> oxides, double il = 0, double hj = 100) {
    static const char* fields[] = {"SIO2", "AL2O3", "CAO", "MGO", "K2O", "NA2O"};
    Row r{{"NAME", name}, {"FE2O3", "0"}, {"TIO2", "0"}, {"QTCF1", "0"}, {"QTCF2", "0"}, {"QTCF3", "0"},
          {"IL", QString::number(il)}, {"HJ", QString::number(hj)}, {"DJ", "1"}};
    for (std::size_t i = 0; i < oxides.size(); ++i) r.push_back({fields[i], QString::number(oxides[i])});
    for (std::size_t i = oxides.size(); i < 6; ++i) r.push_back({fields[i], "0"});
    return r;
  }
  static Row target(const QString& name, std::vector<double> oxides) {
    Row r = material(name, std::move(oxides));
    r.erase(std::remove_if(r.begin(), r.end(), [](const auto& p) { return p.first == "DJ"; }), r.end());
    return r;
  }
};

}  // namespace tessaro::test
