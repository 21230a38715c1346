// The sub-commands of tessaro-cli.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tessaro::store {
class Table;
}

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

// The current record of `table` as one JSON object; false (with the reason
// written to `err`) when a field's bytes are not of its type.
bool recordJson(const store::Table& table, QString& line, QTextStream* err);

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadInput = 2;

// A failed verdict of the calculation: the results exceed the allowed error rate.
inline constexpr int kVerdictFailed = 3;

int runDump(Context& ctx);
int runSolve(Context& ctx);
int runCalc(Context& ctx);
int runVerify(Context& ctx);
int runBody(Context& ctx);
int runGlaze(Context& ctx);
int runKNa(Context& ctx);
int runPack(Context& ctx);
int runReport(Context& ctx);
int runBatch(Context& ctx);
int runExpansion(Context& ctx);
int runStull(Context& ctx);
int runExport(Context& ctx);
int runImport(Context& ctx);

}  // namespace tessaro::cli
