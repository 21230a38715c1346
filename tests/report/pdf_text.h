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
// one line per printed line. The Noto CJK fonts give some ideographs the
// code point of the radical that shares their glyph (⽅ for 方, ⻓ for 长);
// those are mapped back.
inline QString pdfText(const QString& pdf, int first = 0, int last = 0) {
  QStringList args{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
  if (first > 0) args << QStringLiteral("-f") << QString::number(first);
  if (last > 0) args << QStringLiteral("-l") << QString::number(last);
  args << pdf << QStringLiteral("-");
  QProcess p;
  p.start(QStringLiteral("pdftotext"), args);
  p.waitForFinished(30000);
  QString text = QString::fromUtf8(p.readAllStandardOutput());
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u >= 0x2F00 && u <= 0x2FDF) c = QString(c).normalized(QString::NormalizationForm_KC).at(0);
    if (u == 0x2ED3) c = QChar(u'长');
    if (u == 0x2EDA) c = QChar(u'页');
    if (u == 0x2EE2) c = QChar(u'马');
    if (u == 0x2EC5) c = QChar(u'见');
    if (u == 0x2EC9) c = QChar(u'贝');
    if (u == 0x2ED4) c = QChar(u'门');
  }
  return text;
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
