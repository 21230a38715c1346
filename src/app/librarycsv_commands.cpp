// The library windows' CSV commands: export, and import with its question.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/commandguard.h"
#include "app/csvfile.h"
#include "app/datafolder.h"
#include "app/librarycsv.h"
#include "core/format.h"
#include "store/gbk.h"

namespace tessaro::app {

using store::Table;

namespace {

// Larger files are no library: they are refused before they are read.
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

QString shownPath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

// A field of the current record as the file holds it, or no value (the
// table's reason in its errorString()) when its bytes are not of its type.
std::optional<QString> exportCell(const Table& t, const QString& field) {
  bool ok = true;
  const store::dbf::Field& f = t.fieldAt(t.fieldIndex(field));
  if (f.isNumeric()) {
    (void)t.value(field, &ok);
    return ok ? std::optional(QString::fromLatin1(t.rawBytes(field).trimmed())) : std::nullopt;
  }
  if (f.type == 'D') {
    const auto d = t.date(field, &ok);
    if (!ok) return std::nullopt;
    return d ? QString::fromStdString(core::formatIsoDate(*d)) : QString();
  }
  const QString trimmed = t.text(field, &ok);
  if (!ok || f.type != 'C') return ok ? std::optional(trimmed) : std::nullopt;
  // A text keeps its leading blanks: only the blanks that pad it are dropped.
  QByteArray bytes = t.rawBytes(field);
  while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.chop(1);
  return store::gbk::decode(bytes);
}

// A second cursor on the library's file, in BH order whatever the window shows.
bool openAll(Table& all, const Table& table) {
  return all.open(table.filePath()) && all.setOrder(QStringLiteral("BH"));
}

}  // namespace

LibraryCsv::LibraryCsv(Prompter& prompter, Table& table, LibraryKind kind, const QStringList& captions)
    : prompter_(prompter), table_(table), traits_(libraryTraits(kind)), captions_(captions) {}

bool LibraryCsv::exportTo(const QString& path) {
  const QString refusal = tableRefusal(table_, false, QStringLiteral("没有导出。"));
  if (!refusal.isEmpty()) {
    prompter_.warning(refusal);
    return false;
  }
  Table all;
  if (!openAll(all, table_)) return engineFailure(prompter_, all);
  const std::vector<CsvColumn> columns = libraryCsvColumns(all, traits_.kind, captions_);
  std::string text;
  QStringList cells;
  for (const CsvColumn& c : columns) cells << csvHeaderCell(c);
  appendCsvRow(text, cells);
  int categories = 0;
  for (all.first(); !all.eof(); all.next()) {
    cells.clear();
    for (const CsvColumn& c : columns) {
      const auto cell = exportCell(all, c.field);
      if (!cell) return engineFailure(prompter_, all);
      cells << *cell;
    }
    categories += isCategoryName(all.text(QStringLiteral("NAME"))) ? 1 : 0;
    appendCsvRow(text, cells);
  }
  QString error;
  if (!writeCsvFile(path, csvFileBytes(text), &error)) {
    prompter_.error(error);
    return false;
  }
  prompter_.information(QStringLiteral("已把%1的 %2 条记录（其中分类行 %3 条）导出到 CSV 文件 %4。")
                            .arg(traits_.caption)
                            .arg(all.recordCount())
                            .arg(categories)
                            .arg(shownPath(path)));
  return true;
}

std::optional<QByteArray> LibraryCsv::fileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    prompter_.warning(QStringLiteral("不能读取 CSV 文件 %1（%2）。").arg(shownPath(path), file.errorString()));
    return std::nullopt;
  }
  if (file.size() > kLargestFile) {
    refuse(path, {QStringLiteral("文件太大（超过 64 MB），不是库的 CSV 文件")}, 1);
    return std::nullopt;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    prompter_.warning(QStringLiteral("不能读取 CSV 文件 %1（%2）。").arg(shownPath(path), file.errorString()));
    return std::nullopt;
  }
  return bytes;
}

bool LibraryCsv::refuse(const QString& path, const QStringList& problems, int count, const QString& advice) {
  QString text = QStringLiteral("CSV 文件 %1 没有导入，%2没有改动：").arg(shownPath(path), traits_.caption);
  for (const QString& p : problems) text += kCR + p;
  if (count > problems.size()) text += kCR + QStringLiteral("……另有 %1 处问题没有列出。").arg(count - problems.size());
  if (!advice.isEmpty()) text += kCR + advice;
  prompter_.warning(text);
  return false;
}

std::optional<ImportMode> LibraryCsv::askMode(const QString& path, const CsvRecords& records, int existing) {
  const QString text =
      QStringLiteral("CSV 文件 %1 检查无误，有 %2 条记录（其中分类行 %3 条）；%4现有 %5 条记录。")
          .arg(shownPath(path))
          .arg(records.records.size())
          .arg(records.categories)
          .arg(traits_.caption)
          .arg(existing) +
      kCR + QStringLiteral("选“是”：把这些记录添加在现有记录之后；") + kCR +
      QStringLiteral("选“否”：用这些记录替换%1的全部记录（原有记录删除后不能恢复）；").arg(traits_.caption) + kCR +
      QStringLiteral("选“取消”：不导入。");
  switch (prompter_.message({MessageKind::Typed, kConfirmCaption, Icon::Question, text,
                             {Button::Yes, Button::No, Button::Cancel}, Button::Cancel})) {
    case Button::Yes: return ImportMode::Add;
    case Button::No: return ImportMode::Replace;
    default: return std::nullopt;
  }
}

bool LibraryCsv::importFrom(const QString& path, std::optional<ImportMode> mode) {
  const QString refusal = tableRefusal(table_, true, QStringLiteral("没有导入，%1没有改动。").arg(traits_.caption));
  if (!refusal.isEmpty()) {
    prompter_.warning(refusal);
    return false;
  }
  const auto bytes = fileBytes(path);
  if (!bytes) return false;
  const std::vector<CsvColumn> columns = libraryCsvColumns(table_, traits_.kind, captions_);
  const CsvCheck check = checkLibraryCsv(*bytes, table_.layout(), columns, traits_.caption);
  if (!check.records) return refuse(path, check.problems, check.problemCount);
  Table all;
  if (!openAll(all, table_)) return engineFailure(prompter_, all);
  const int existing = all.recordCount();
  if (existing == 0) mode = ImportMode::Replace;
  if (!mode) mode = askMode(path, *check.records, existing);
  if (!mode) return false;
  if (*mode == ImportMode::Add && !checkAdded(all, path, *check.records, columns)) return false;
  return writeRecords(all, path, *check.records, *mode, existing);
}

bool LibraryCsv::checkAdded(Table& all, const QString& path, const CsvRecords& r, const std::vector<CsvColumn>& columns) {
  all.last();
  bool ok = true;
  const int greatest = all.integer(QStringLiteral("BH"), &ok);
  if (!ok) return engineFailure(prompter_, all);
  QStringList problems;
  int count = 0;
  for (std::size_t i = 0; i < r.records.size(); ++i) {
    if (r.numbers[i] > greatest) continue;
    if (++count > kListedProblems) continue;
    problems << QStringLiteral("第 %1 行 %2 列 %3：编号 %4 不大于%5现有的最大编号 %6")
                    .arg(r.rows[i])
                    .arg(columnLetters(r.numberColumn), csvFieldLabel(QStringLiteral("BH"), columns),
                         QString::number(r.numbers[i]), traits_.caption, QString::number(greatest));
  }
  if (count == 0) return true;
  return refuse(path, problems, count,
                QStringLiteral("添加的记录须排在现有记录之后：请把文件里的编号都改为大于 %1 的数，或改为替换整个%2。")
                    .arg(greatest)
                    .arg(traits_.caption));
}

bool LibraryCsv::writeRecords(Table& all, const QString& path, const CsvRecords& r, ImportMode mode, int existing) {
  if (!all.rewrite(r.records, mode == ImportMode::Add)) {
    prompter_.error(all.errorString() + kCR + QStringLiteral("导入没有完成，%1保持原样。").arg(traits_.caption));
    return false;
  }
  QString how = QStringLiteral("到%1").arg(traits_.caption);
  if (existing > 0 && mode == ImportMode::Add) {
    how = QStringLiteral("，添加在%1原有的 %2 条记录之后").arg(traits_.caption).arg(existing);
  } else if (existing > 0) {
    how = QStringLiteral("，替换了%1原有的 %2 条记录").arg(traits_.caption).arg(existing);
  }
  prompter_.information(QStringLiteral("已从 CSV 文件 %1 导入 %2 条记录（其中分类行 %3 条）")
                            .arg(shownPath(path))
                            .arg(r.records.size())
                            .arg(r.categories) +
                        how + QStringLiteral("。"));
  return true;
}

// --- The library window's commands ------------------------------------------------------------

bool Library::notOpen(const QString& action) {
  prompter_.warning(QStringLiteral("%1 %2 没有打开，不能%3。").arg(traits_.caption, shownRelativeName(traits_.tableName), action));
  return false;
}

bool Library::exportCsv(const QString& path) {
  return guarded(prompter_, [&] {
    if (!usable()) return notOpen(QStringLiteral("导出"));
    return LibraryCsv(prompter_, table_, traits_.kind, captions_).exportTo(path);
  });
}

bool Library::importCsv(const QString& path) {
  return guarded(prompter_, [&] {
    if (!usable()) return notOpen(QStringLiteral("导入"));
    if (!LibraryCsv(prompter_, table_, traits_.kind, captions_).importFrom(path)) return false;
    showWholeLibrary();
    rebuildTree();
    return true;
  });
}

}  // namespace tessaro::app
