// Runs the built tessaro-cli as a script would: arguments, standard input,
// exit status and both outputs.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
  int status = -1;  // -1: did not start, crashed or hung
  QString out;
  QString err;
};

inline CliRun runCli(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QStringLiteral(TESSARO_CLI), args);
  if (!p.waitForStarted()) return {};
  p.write(input);
  p.closeWriteChannel();
  const bool finished = p.waitForFinished(30000);
  return {finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
