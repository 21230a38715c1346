// The sub-commands of tessaro-cli.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tessaro::cli {

// What every sub-command gets: its own arguments (after the command name,
// with --dir already taken out), the folder that holds the data folder, and
// the two output streams.
struct Context {
  QStringList args;
  QString baseFolder;
  QTextStream& out;
  QTextStream& err;
};

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadInput = 2;

int runDump(Context& ctx);
int runSolve(Context& ctx);

}  // namespace tessaro::cli
