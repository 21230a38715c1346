#include "app/csvfile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <vector>

#include "core/csv.h"

namespace tessaro::app {

void appendCsvRow(std::string& text, const QStringList& cells) {
  std::vector<std::string> row;
  row.reserve(std::size_t(cells.size()));
  for (const QString& c : cells) row.push_back(c.toStdString());
  core::appendCsvRow(text, row);
}

QByteArray csvFileBytes(const std::string& text) {
  return QByteArray(core::kUtf8Bom.data(), qsizetype(core::kUtf8Bom.size())) + QByteArray::fromStdString(text);
}

bool writeCsvFile(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    if (error) {
      *error = QStringLiteral("不能写入 CSV 文件 %1（%2）。").arg(QFileInfo(path).absoluteFilePath(), file.errorString());
    }
    return false;
  }
  return true;
}

}  // namespace tessaro::app
