// Opening a 100,000-record material library (the YLK.DBF layout) and reading
// every field of every record through store::Table, against plainly reading
// the same file's bytes into memory. Run by hand:
//   bench_table [records]
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "store/schemas.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

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
  std::vector<QString> names;
  std::vector<char> types;
  for (int f = 0; f < t.fieldCount(); ++f) {
    names.push_back(t.fieldAt(f).name);
    types.push_back(t.fieldAt(f).type);
  }
  double sum = 0;
  *records = 0;
  for (t.first(); !t.eof(); t.next()) {
    ++*records;
    for (std::size_t f = 0; f < names.size(); ++f) {
      switch (types[f]) {
        case 'N': sum += t.number(names[f]); break;
        case 'D': sum += t.date(names[f]).value_or(core::Date{}).day; break;
        default: sum += double(t.text(names[f]).size()); break;
      }
    }
  }
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

  constexpr int kRounds = 5;
  std::vector<double> table;
  std::vector<double> plain;
  std::vector<double> opening;
  double checksum = 0;
  qint64 bytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    start = Clock::now();
    int read = 0;
    double open = 0;
    checksum += readThroughTable(path, &read, &open);
    opening.push_back(open);
    table.push_back(seconds(start));
    if (read != records) {
      std::fprintf(stderr, "read %d records of %d\n", read, records);
      return 1;
    }

    start = Clock::now();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 1;
    bytes += f.readAll().size();
    plain.push_back(seconds(start));
  }
  std::sort(table.begin(), table.end());
  std::sort(plain.begin(), plain.end());
  std::sort(opening.begin(), opening.end());
  const double t = table[kRounds / 2];
  const double p = plain[kRounds / 2];
  std::printf("open + read every field through store::Table: %.4f s (median of %d)\n", t, kRounds);
  std::printf("  of which opening (reading and checking the file): %.4f s\n", opening[kRounds / 2]);
  std::printf("read the file's bytes into memory:            %.4f s (median of %d)\n", p, kRounds);
  std::printf("ratio: %.1f\n", t / p);
  std::printf("(checksum %.0f, %lld bytes)\n", checksum, bytes);
  return 0;
}
