// A writable copy of the bundled data folder for tests, and tables filled with given records.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "store/table.h"

namespace tessaro::test {

// Copies the repository's 数据库 into `base`/数据库 with writable files;
// false when a file could not be copied.
inline bool copyBundledData(const QString& base) {
  const QDir source(QStringLiteral(TESSARO_SOURCE_DIR "/数据库"));
  if (!QDir(base).mkpath(QStringLiteral("数据库"))) return false;
  for (const QString& f : source.entryList(QDir::Files)) {
    const QString to = base + QStringLiteral("/数据库/") + f;
    if (!QFile::copy(source.filePath(f), to)) return false;
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }
  return true;
}

// A record as (field, text) pairs.
using Row = std::vector<std::pair<QString, QString>>;

// Replaces every record of the table file `path` by `rows`; a failure names
// what the table refused. Assert on it: the caller's test stops there.
[[nodiscard]] inline testing::AssertionResult fillTable(const QString& path, const std::vector<Row>& rows) {
  store::Table t;
  auto refused = [&t](const char* what) {
    return testing::AssertionFailure() << what << ": " << t.errorString().toStdString();
  };
  if (!t.open(path)) return refused("open");
  t.first();
  while (t.recordCount() > 0) {
    if (!t.deleteRecord()) return refused("delete");
  }
  for (const Row& row : rows) {
    if (!t.append()) return refused("append");
    for (const auto& [field, value] : row) {
      if (!t.setText(field, value)) return refused("write");
    }
    if (!t.post()) return refused("post");
  }
  if (!t.close()) return refused("close");
  return testing::AssertionSuccess();
}

}  // namespace tessaro::test
