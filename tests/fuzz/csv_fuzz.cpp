// libFuzzer target for the CSV reader and the check of a library's CSV file.
//
// Arbitrary bytes are read as CSV; besides the sanitizers it checks that
//   - what the reader reads, the writer writes so that it reads back the same;
//   - the UTF-8 test stops only on a byte that QString's decoder also refuses;
//   - a file that passes the material library's check gives whole records
//     whose every field reads back as its type (numbers, dates, GBK text)
//     with unique numbers in BH order.
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringDecoder>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/librarycsv.h"
#include "core/csv.h"
#include "store/gbk.h"
#include "store/schemas.h"
#include "store/table.h"

using namespace tessaro;

namespace {

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "CSV check failed: %s\n", what);
  std::abort();
}

// The material library's layout and columns, from a table made once.
struct Library {
  store::dbf::Layout layout;
  std::vector<app::CsvColumn> columns;
};

const Library& library() {
  static const Library lib = [] {
    const QString path = QDir::tempPath() + QStringLiteral("/csv-fuzz-%1.dbf").arg(::getpid());
    QFile::remove(path);
    if (!store::Table::create(path, store::schema::materialLibrary())) broken("cannot create the table");
    store::Table t;
    if (!t.open(path)) broken("cannot open the table");
    QStringList captions;
    for (int i = 0; i < 18; ++i) captions << (i == 2 ? QStringLiteral("SiO2") : QString());
    Library l{t.layout(), app::libraryCsvColumns(t, app::LibraryKind::Materials, captions)};
    t.close();
    QFile::remove(path);
    return l;
  }();
  return lib;
}

void checkRoundTrip(const core::CsvReading& reading) {
  if (!reading.ok()) return;
  std::string written;
  for (const auto& row : reading.rows) core::appendCsvRow(written, row);
  const core::CsvReading again = core::readCsv(written);
  if (!again.ok() || again.rows != reading.rows) broken("written rows read back differently");
}

void checkRecords(const app::CsvRecords& r) {
  const store::dbf::Layout& layout = library().layout;
  for (std::size_t i = 0; i < r.records.size(); ++i) {
    const QByteArray& rec = r.records[i];
    if (rec.size() != layout.recordLength || rec[0] != ' ') broken("a record of the wrong length");
    if (i > 0 && r.numbers[i - 1] >= r.numbers[i]) broken("numbers out of order or repeated");
    for (const store::dbf::Field& f : layout.fields) {
      const std::string_view bytes(rec.constData() + f.offset, std::size_t(f.length));
      if (f.isNumeric() && !store::dbf::parseNumberField(bytes)) broken("a number that does not read back");
      if (f.type == 'D' && !store::dbf::parseDate(bytes)) broken("a date that does not read back");
      if (f.type == 'C' && !store::gbk::isValid(QByteArrayView(bytes.data(), qsizetype(bytes.size())))) broken("a text that is not GBK");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  checkRoundTrip(core::readCsv(text));

  const auto bad = core::firstNonUtf8(text);
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  (void)decoder.decode(QByteArrayView(text.data(), qsizetype(bad ? *bad : text.size())));
  if (decoder.hasError()) broken("the UTF-8 test let through what the decoder refuses");

  const QByteArray bytes(text.data(), qsizetype(size));
  const app::CsvCheck check = app::checkLibraryCsv(bytes, library().layout, library().columns, QStringLiteral("原料库"));
  if (check.records) {
    checkRecords(*check.records);
  } else if (check.problems.isEmpty() || check.problems.size() > app::kListedProblems || check.problemCount < check.problems.size()) {
    broken("a refusal without its problems");
  }
  return 0;
}
