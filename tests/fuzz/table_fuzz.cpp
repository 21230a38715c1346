// libFuzzer target for the table reader: arbitrary bytes as a .DBF file, read
// by the format layer in memory and then opened, walked, ordered, searched
// and written to by the table engine.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "store/dbf.h"
#include "store/table.h"

using namespace tessaro::store;

namespace {

QString fuzzFile() {
  static const QString path = [] {
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return QStringLiteral("%1/table-fuzz-%2.dbf").arg(base).arg(::getpid());
  }();
  return path;
}

void walk(Table& t) {
  for (t.first(); !t.eof(); t.next()) {
    for (int f = 0; f < t.fieldCount(); ++f) {
      const QString name = t.fieldAt(f).name;
      (void)t.text(name);
      (void)t.value(name);
      (void)t.integer(name);
      (void)t.date(name);
      (void)t.isNull(name);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  dbf::Scan scan = dbf::scanStructure(bytes);
  if (scan.usable && std::size_t(scan.layout.headerLength) <= size) {
    dbf::scanContents(scan, bytes.data() + scan.layout.headerLength);
  }

  (void)dbf::planMend(bytes);

  const QString path = fuzzFile();
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(bytes.data(), bytes.size());
  }
  {
    Table t;
    if (t.open(path, Table::Mode::Exclusive)) {
      walk(t);
      if (t.fieldCount() > 0) {
        const QString first = t.fieldAt(0).name;
        if (t.setOrder(first)) {
          walk(t);
          t.first();
          const QString key = t.text(first);
          (void)t.findKey(key);
          (void)t.setRange(key, key);
          walk(t);
          (void)t.cancelRange();
        }
        if (t.isDamaged()) {
          // Pack mends the header into a sound file, or leaves the file byte for byte.
          if (t.pack()) {
            Table again;
            again.open(path);
            if (t.isDamaged() || (again.isOpen() && again.isDamaged())) __builtin_trap();
            walk(t);
          } else {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly) && f.readAll() != bytes.toByteArray()) __builtin_trap();
          }
        } else if (!t.isReadOnly()) {
          t.last();
          if (t.edit()) {
            (void)t.setText(first, QStringLiteral("12.5"));
            (void)t.post();
          }
          if (t.append()) {
            (void)t.setText(first, QStringLiteral("长石"));
            (void)t.post();
          }
          t.first();
          (void)t.deleteRecord();
          (void)t.pack();
          walk(t);
        }
      }
    }
  }
  ::unlink(QFile::encodeName(path).constData());
  return 0;
}
