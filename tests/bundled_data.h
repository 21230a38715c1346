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

// Replaces every record of the table file `path` by `rows`.
inline void fillTable(const QString& path, const std::vector<Row>& rows) {
  store::Table t;
  ASSERT_TRUE(t.open(path)) << t.errorString().toStdString();
  t.first();
  while (t.recordCount() > 0) ASSERT_TRUE(t.deleteRecord());
  for (const Row& row : rows) {
    ASSERT_TRUE(t.append());
    for (const auto& [field, value] : row) ASSERT_TRUE(t.setText(field, value)) << t.errorString().toStdString();
    ASSERT_TRUE(t.post()) << t.errorString().toStdString();
  }
  ASSERT_TRUE(t.close());
}

}  // namespace tessaro::test
