// Runs the built tessaro-cli as a script would: arguments, standard input,
// exit status and both outputs; and a fixture over the bundled data.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include "bundled_data.h"

struct CliRun {
  int status = -1;  // -1: did not start, crashed or hung
  QString out;
  QString err;
};

inline CliRun runCli(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QStringLiteral(TESSARO_CLI), args);
  if (!p.waitForStarted()) return {};
  p.write(input);
  p.closeWriteChannel();
  const bool finished = p.waitForFinished(30000);
  return {finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Runs tessaro-cli on a fresh copy of the bundled data folder.
class BundledDataCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(tessaro::test::copyBundledData(dir_.path()));
  }
  CliRun run(QStringList args) {
    args << QStringLiteral("--dir") << dir_.path();
    return runCli(args);
  }
  // One JSON object per line of the output.
  static std::vector<QJsonObject> records(const QString& out) {
    std::vector<QJsonObject> r;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
      r.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    return r;
  }
  QTemporaryDir dir_;
};
