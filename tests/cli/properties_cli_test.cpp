// tessaro-cli body and glaze on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <vector>

#include "bundled_data.h"
#include "cli/cli_runner.h"

namespace {

class PropertiesCliTest : public BundledDataCliTest {};

// What the property table holds is the main screen's and the arithmetic's
// (tests/app, tests/core): here the commands run and print the table.
TEST_F(PropertiesCliTest, BodyAndGlazePrintThePropertyTableOfTheResults) {
  ASSERT_EQ(run({"calc"}).status, 0);
  const CliRun body = run({"body"});
  ASSERT_EQ(body.status, 0) << body.err.toStdString();
  const auto rows = records(body.out);
  ASSERT_EQ(rows.size(), 7u);  // no other oxides in the bundled data
  EXPECT_EQ(rows[0]["NAME0"].toString(), "1＃配比坯式");
  // Flags are not kept between runs: the glaze follows at once, on the same records.
  const CliRun glaze = run({"glaze"});
  ASSERT_EQ(glaze.status, 0) << glaze.err.toStdString();
  const auto glazeRows = records(glaze.out);
  ASSERT_EQ(glazeRows.size(), 7u);
  EXPECT_EQ(glazeRows[0]["NAME0"].toString(), "1＃配比釉式");
  EXPECT_EQ(records(run({"dump", "property"}).out).size(), 7u);
}

TEST_F(PropertiesCliTest, WithoutResultsNothingIsPrinted) {
  const CliRun r = run({"body"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(r.err.contains("[提示] 表3中没有计算结果，\n请先进行配方计算或验算组成。")) << r.err.toStdString();
  EXPECT_EQ(run({"glaze", "extra"}).status, 2);
}

}  // namespace
