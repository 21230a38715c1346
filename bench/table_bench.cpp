// Opening a 100,000-record material library (the YLK.DBF layout) and reading
// every field of every record through store::Table, against plainly reading
// the same file's bytes into memory. Run by hand:
//   bench_table [records] [rounds]
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "store/schemas.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// The processor time of this program so far: on a machine shared with other
// work, it tells what the program itself spent better than the clock does.
double processorSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

const char* const kOxides[] = {"SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O",
                               "QTCF1", "QTCF2", "QTCF3", "IL", "HJ", "DJ"};

bool build(const QString& path, int records) {
  const auto created = Table::create(path, store::schema::materialLibrary());
  if (!created) {
    std::fprintf(stderr, "%s\n", qPrintable(created.error()));
    return false;
  }
  Table t;
  if (!t.open(path, Table::Mode::Exclusive)) return false;
  for (int i = 0; i < records; ++i) {
    bool ok = t.append() && t.setInteger("BH", i % 30000) && t.setText("NAME", QStringLiteral("钾长石 %1 号").arg(i)) &&
              t.setText("BZ", QStringLiteral("产地：江西；批次 %1").arg(i)) && t.setDate("DATE", core::Date{2024, 1 + i % 12, 1 + i % 28});
    for (int k = 0; ok && k < 14; ++k) ok = t.setNumber(kOxides[k], (i * 7 + k * 13) % 10000 / 100.0);
    if (!ok || !t.post()) {
      std::fprintf(stderr, "%s\n", qPrintable(t.errorString()));
      return false;
    }
  }
  return t.close();
}

// Opens the table and reads every field of every record; a checksum of what was read.
double readThroughTable(const QString& path, int* records, double* openSeconds) {
  const auto start = Clock::now();
  Table t;
  if (!t.open(path)) return -1;
  *openSeconds = seconds(start);
  // A reader of many records looks each field up once, by its name as a
  // program knows it, and reads it by its position.
  std::vector<int> fields;
  std::vector<char> types;
  for (int f = 0; f < t.fieldCount(); ++f) {
    fields.push_back(t.fieldIndex(t.fieldAt(f).name));
    types.push_back(t.fieldAt(f).type);
  }
  // One sum for each field, so that what is read is used without chaining
  // every addition of a record to the one before.
  std::vector<double> sums(fields.size());
  *records = 0;
  for (t.first(); !t.eof(); t.next()) {
    ++*records;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      switch (types[f]) {
        case 'N': sums[f] += t.number(fields[f]); break;
        case 'D': sums[f] += t.date(fields[f]).value_or(core::Date{}).day; break;
        default: sums[f] += double(t.text(fields[f]).size()); break;
      }
    }
  }
  double sum = 0;
  for (const double s : sums) sum += s;
  return sum;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int records = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
  QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/YLK.DBF");
  auto start = Clock::now();
  if (!build(path, records)) return 1;
  std::printf("built %d records (%lld bytes) in %.3f s\n", records, QFile(path).size(), seconds(start));

  const int kRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<double> table;
  std::vector<double> plain;
  std::vector<double> opening;
  std::vector<double> reading;
  std::vector<double> tableProcessor;
  std::vector<double> plainProcessor;
  double checksum = 0;
  qint64 bytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    double processor = processorSeconds();
    start = Clock::now();
    int read = 0;
    double open = 0;
    checksum += readThroughTable(path, &read, &open);
    opening.push_back(open);
    table.push_back(seconds(start));
    reading.push_back(table.back() - open);
    tableProcessor.push_back(processorSeconds() - processor);
    if (read != records) {
      std::fprintf(stderr, "read %d records of %d\n", read, records);
      return 1;
    }

    processor = processorSeconds();
    start = Clock::now();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 1;
    bytes += f.readAll().size();
    plain.push_back(seconds(start));
    plainProcessor.push_back(processorSeconds() - processor);
  }
  const double t = median(table);
  const double p = median(plain);
  const double o = median(opening);
  std::printf("open + read every field through store::Table: %.4f s (median of %d)\n", t, kRounds);
  std::printf("  of which opening (reading and checking the file): %.4f s\n", o);
  std::printf("  of which reading every field of every record:     %.4f s\n", median(reading));
  std::printf("read the file's bytes into memory:            %.4f s (median of %d)\n", p, kRounds);
  std::printf("ratio table/plain: %.1f (opening alone %.1f)\n", t / p, o / p);
  std::printf("processor time, medians: table %.4f s, plain %.4f s, ratio %.1f\n", median(tableProcessor),
              median(plainProcessor), median(tableProcessor) / median(plainProcessor));
  std::printf("(checksum %.0f, %lld bytes)\n", checksum, bytes);
  return 0;
}
