// Whether a file is an .xlsx workbook of three worksheets: a zip archive
// whose directory (stored uncompressed) names the three sheets' parts.
#pragma once

#include <QFile>
#include <QString>

namespace tessaro::test {

inline bool isThreeSheetWorkbook(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = f.readAll();
  return bytes.startsWith("PK\x03\x04") && bytes.contains("xl/worksheets/sheet3.xml") &&
         !bytes.contains("xl/worksheets/sheet4.xml");
}

}  // namespace tessaro::test
