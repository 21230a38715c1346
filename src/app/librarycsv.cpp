// The columns of a library's CSV file and the check of a file before import.
#include "app/librarycsv.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "core/csv.h"
#include "store/fieldtext.h"

namespace tessaro::app {

using store::dbf::Field;
using store::dbf::Layout;

namespace {

// The problems found, the first kListedProblems of them kept.
class Problems {
 public:
  void add(const QString& problem) {
    ++count_;
    if (list_.size() < kListedProblems) list_ << problem;
  }
  int count() const { return count_; }
  const QStringList& list() const { return list_; }

 private:
  QStringList list_;
  int count_ = 0;
};

QString rowText(int row) { return QStringLiteral("第 %1 行").arg(row); }

// The field a header cell names: "caption [FIELD]", or the field name alone.
QString headerField(const QString& cell) {
  QString t = cell.trimmed();
  while (t.startsWith(QChar(0xFEFF))) t = t.mid(1).trimmed();  // a second byte-order mark
  const qsizetype open = t.lastIndexOf(QLatin1Char('['));
  if (t.endsWith(QLatin1Char(']')) && open >= 0) return t.mid(open + 1, t.size() - open - 2).trimmed();
  return t;
}

// The date a cell holds, written year first; no value for any other text.
std::optional<core::Date> yearFirstDate(const QString& text) {
  static const QRegularExpression forms[] = {
      QRegularExpression(QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$")),
      QRegularExpression(QStringLiteral("^(\\d{4})(年)(\\d{1,2})月(\\d{1,2})日$")),
      QRegularExpression(QStringLiteral("^(\\d{4})()(\\d{2})(\\d{2})$")),
  };
  for (const QRegularExpression& form : forms) {
    const auto m = form.match(text);
    if (m.hasMatch()) return core::Date{m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
  }
  return std::nullopt;
}

// The bytes of one cell in its field, or why it cannot be written there.
store::Result<QByteArray> cellBytes(const Field& f, const QString& text) {
  if (f.type == 'D') {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QByteArray();
    const auto d = yearFirstDate(t);
    if (!d || !store::dbf::isValidDate(*d)) {
      return store::failure(QStringLiteral("“%1”不是日期，请写成“年-月-日”，如 2026-12-09").arg(t));
    }
    return store::dateBytes(*d);
  }
  if (f.type == 'C') {
    const bool control = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    if (control) return store::failure(QStringLiteral("文字里有换行、制表符等控制字符，表文件里不能保存"));
  }
  return store::fieldBytes(f, text, store::TextRule::Exact);
}

// The header: the field of each column of the file (-1: the column has no name).
struct Header {
  std::vector<int> fields;
};

void checkHeaderCell(int column, const QString& cell, const Layout& layout, const QString& library,
                     std::vector<int>& fields, Problems& problems) {
  const QString name = headerField(cell);
  const QString where = rowText(1) + QLatin1Char(' ') + columnLetters(column) + QStringLiteral(" 列");
  if (name.isEmpty()) {
    fields.push_back(-1);
    return;
  }
  const int index = layout.fieldIndex(name);
  const auto before = std::find(fields.begin(), fields.end(), index);
  if (index < 0) {
    problems.add(QStringLiteral("%1“%2”：%3没有字段 %4（第 1 行须是“标题 [字段名]”或字段名）").arg(where, cell.trimmed(), library, name));
  } else if (before != fields.end()) {
    problems.add(QStringLiteral("%1：字段 %2 在 %3 列已经有了").arg(where, layout.fields[std::size_t(index)].name,
                                                               columnLetters(int(before - fields.begin()))));
  }
  fields.push_back(index);
}

std::optional<Header> readHeader(const std::vector<std::string>& cells, const Layout& layout,
                                 const std::vector<CsvColumn>& columns, const QString& library, Problems& problems) {
  Header h;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    checkHeaderCell(int(c), QString::fromStdString(cells[c]), layout, library, h.fields, problems);
  }
  if (cells.size() == 1 && cells[0].find_first_of(";\t") != std::string::npos) {
    problems.add(rowText(1) + QStringLiteral("：单元格之间须用逗号分隔（这个文件用的似乎是分号或制表符）"));
  }
  for (std::size_t i = 0; i < layout.fields.size(); ++i) {
    if (std::find(h.fields.begin(), h.fields.end(), int(i)) == h.fields.end()) {
      problems.add(rowText(1) + QStringLiteral("：缺少列 %1").arg(csvFieldLabel(layout.fields[i].name, columns)));
    }
  }
  if (problems.count() > 0) return std::nullopt;
  return h;
}

// What the rows have shown so far.
struct RowContext {
  const Layout& layout;
  const std::vector<CsvColumn>& columns;
  const Header& header;
  int bhField;
  int nameField;
  std::map<int, int> rowOfNumber;  // BH -> the first row that has it
};

// Checks the cells of one row and, when they all pass, adds its record.
void checkRow(int row, const std::vector<std::string>& cells, RowContext& ctx, CsvRecords& out, Problems& problems) {
  if (std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); })) return;
  if (cells.size() != ctx.header.fields.size()) {
    problems.add(QStringLiteral("%1：有 %2 个单元格，第 1 行有 %3 个").arg(rowText(row)).arg(cells.size()).arg(ctx.header.fields.size()));
    return;
  }
  QByteArray record = store::blankRecord(ctx.layout);
  const int before = problems.count();
  std::optional<int> number;
  bool category = false;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const QString where = rowText(row) + QLatin1Char(' ') + columnLetters(int(c)) + QStringLiteral(" 列");
    const int index = ctx.header.fields[c];
    if (index < 0) {
      if (!cells[c].empty()) problems.add(where + QStringLiteral("：这一列第 1 行没有字段名，不能有内容"));
      continue;
    }
    const Field& f = ctx.layout.fields[std::size_t(index)];
    const QString text = QString::fromStdString(cells[c]);
    const QString label = where + QLatin1Char(' ') + csvFieldLabel(f.name, ctx.columns) + QStringLiteral("：");
    const auto bytes = cellBytes(f, text);
    if (!bytes) {
      problems.add(label + bytes.error());
      continue;
    }
    store::putField(record.data(), f, *bytes);
    if (index == ctx.nameField) category = isCategoryName(text);
    if (index != ctx.bhField) continue;
    const auto v = core::parseNumber(text.toStdString());
    if (!v || std::fabs(*v) > 1e9) {
      problems.add(label + (v ? QStringLiteral("编号太大") : QStringLiteral("不能为空，每条记录都要有编号")));
      continue;
    }
    number = int(std::lround(*v));
    const auto [at, added] = ctx.rowOfNumber.emplace(*number, row);
    if (!added) problems.add(label + QStringLiteral("编号 %1 与第 %2 行的相同，编号不能重复").arg(*number).arg(at->second));
  }
  if (problems.count() > before || (ctx.bhField >= 0 && !number)) return;
  out.records.push_back(record);
  out.categories += category ? 1 : 0;
  out.numbers.push_back(number.value_or(0));
  out.rows.push_back(row);
}

// The records in BH order, rows with equal numbers in file order.
void sortByNumber(CsvRecords& r) {
  std::vector<std::size_t> order(r.records.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return r.numbers[a] < r.numbers[b]; });
  CsvRecords sorted;
  sorted.categories = r.categories;
  sorted.numberColumn = r.numberColumn;
  for (const std::size_t i : order) {
    sorted.records.push_back(r.records[i]);
    sorted.numbers.push_back(r.numbers[i]);
    sorted.rows.push_back(r.rows[i]);
  }
  r = std::move(sorted);
}

CsvCheck refused(const Problems& problems) { return CsvCheck{std::nullopt, problems.list(), problems.count()}; }

}  // namespace

QString columnLetters(int column) {
  QString s;
  for (int n = column + 1; n > 0; n = (n - 1) / 26) s.prepend(QChar(u'A' + (n - 1) % 26));
  return s;
}

std::vector<CsvColumn> libraryCsvColumns(const store::Table& table, LibraryKind kind, const QStringList& captions) {
  std::vector<CsvColumn> columns;
  const auto& grid = libraryTraits(kind).columns();
  for (std::size_t i = 0; i < grid.size(); ++i) {
    const int index = table.fieldIndex(grid[i].field);
    if (index >= 0) columns.push_back({table.fieldAt(index).name, i < std::size_t(captions.size()) ? captions[qsizetype(i)] : QString()});
  }
  for (int i = 0; i < table.fieldCount(); ++i) {
    const QString name = table.fieldAt(i).name;
    const bool shown = std::any_of(columns.begin(), columns.end(), [&](const CsvColumn& c) { return c.field == name; });
    if (!shown) columns.push_back({name, QString()});
  }
  return columns;
}

QString csvFieldLabel(const QString& field, const std::vector<CsvColumn>& columns) {
  for (const CsvColumn& c : columns) {
    if (c.field.compare(field, Qt::CaseInsensitive) == 0 && !c.caption.trimmed().isEmpty()) {
      return QStringLiteral("%1（%2）").arg(c.caption.trimmed(), c.field);
    }
  }
  return field;
}

QString csvHeaderCell(const CsvColumn& column) {
  const QString caption = column.caption.trimmed();
  return caption.isEmpty() ? QStringLiteral("[%1]").arg(column.field) : QStringLiteral("%1 [%2]").arg(caption, column.field);
}

CsvCheck checkLibraryCsv(const QByteArray& bytes, const Layout& layout, const std::vector<CsvColumn>& columns,
                         const QString& library) {
  Problems problems;
  const std::string_view text(bytes.constData(), std::size_t(bytes.size()));
  if (const auto bad = core::firstNonUtf8(text)) {
    const auto row = std::count(text.begin(), text.begin() + std::ptrdiff_t(*bad), '\n') + 1;
    problems.add(QStringLiteral("第 %1 行：文件不是 UTF-8 编码的文字，请在 LibreOffice 或 Excel 里另存为 UTF-8 的 CSV 文件").arg(row));
    return refused(problems);
  }
  const core::CsvReading reading = core::readCsv(text);
  if (!reading.ok()) {
    problems.add(QString::fromStdString(reading.error));
    return refused(problems);
  }
  if (reading.rows.empty()) {
    problems.add(QStringLiteral("文件是空的"));
    return refused(problems);
  }
  const auto header = readHeader(reading.rows.front(), layout, columns, library, problems);
  if (!header) return refused(problems);
  RowContext ctx{layout, columns, *header, layout.fieldIndex(u"BH"), layout.fieldIndex(u"NAME"), {}};
  CsvRecords records;
  const auto bh = std::find(header->fields.begin(), header->fields.end(), ctx.bhField);
  if (ctx.bhField >= 0) records.numberColumn = int(bh - header->fields.begin());
  for (std::size_t r = 1; r < reading.rows.size(); ++r) checkRow(int(r) + 1, reading.rows[r], ctx, records, problems);
  if (problems.count() > 0) return refused(problems);
  if (records.records.empty()) {
    problems.add(QStringLiteral("文件里除第 1 行外没有记录"));
    return refused(problems);
  }
  sortByNumber(records);
  return CsvCheck{std::move(records), {}, 0};
}

}  // namespace tessaro::app
