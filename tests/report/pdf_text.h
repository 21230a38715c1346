// The text of a PDF as pdftotext reads it, for checking what a report prints.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace tessaro::test {

inline bool havePdfTools() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

// The text of `pdf` (pages `first` to `last`, 0 for all) in reading order,
// one line per printed line, as pdftotext gives it.
inline QString pdfText(const QString& pdf, int first = 0, int last = 0) {
  QStringList args{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
  if (first > 0) args << QStringLiteral("-f") << QString::number(first);
  if (last > 0) args << QStringLiteral("-l") << QString::number(last);
  args << pdf << QStringLiteral("-");
  QProcess p;
  p.start(QStringLiteral("pdftotext"), args);
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPages(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {pdf});
  p.waitForFinished(30000);
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

}  // namespace tessaro::test
