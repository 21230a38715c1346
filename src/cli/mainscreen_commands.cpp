// tessaro-cli calc, verify, body, glaze, kna and pack: the main screen's
// commands on the tables of a data folder, whatever the enabled flags of the
// windows.
#include <QString>

#include "app/framestate.h"
#include "app/mainscreen.h"
#include "cli/cliprompter.h"
#include "cli/commands.h"
#include "store/table.h"

namespace tessaro::cli {
namespace {

// Prints the records of a table in its current order.
bool printRecords(store::Table& table, Context& ctx) {
  if (!table.isOpen()) return false;
  bool sound = true;
  QString line;
  for (table.first(); !table.eof(); table.next()) {
    if (!recordJson(table, line, &ctx.err)) sound = false;
    ctx.out << line << "\n";
  }
  table.first();
  return sound;
}

// Takes "--name VALUE" out of the arguments; false when the value is missing.
bool takeOption(QStringList& args, const QString& name, QString& value, bool& given) {
  const int i = int(args.indexOf(name));
  if (i < 0) return true;
  if (i + 1 >= args.size()) return false;
  value = args[i + 1];
  given = true;
  args.remove(i, 2);
  return true;
}

bool takeFlag(QStringList& args, const QString& name) { return args.removeAll(name) > 0; }

int unexpected(Context& ctx, const QString& usage) {
  ctx.err << "usage: tessaro-cli " << usage << "\n";
  return kBadInput;
}

}  // namespace

int runCalc(Context& ctx) {
  const QString usage = QStringLiteral("calc [--dir DIR] [--precision 0|1|2] [--allowed TEXT] [--details]");
  QString precision, allowed = QStringLiteral("1");
  bool hasPrecision = false, hasAllowed = false;
  if (!takeOption(ctx.args, QStringLiteral("--precision"), precision, hasPrecision) ||
      !takeOption(ctx.args, QStringLiteral("--allowed"), allowed, hasAllowed))
    return unexpected(ctx, usage);
  const bool details = takeFlag(ctx.args, QStringLiteral("--details"));
  if (!ctx.args.isEmpty()) return unexpected(ctx, usage);
  if (hasPrecision && precision != u"0" && precision != u"1" && precision != u"2") {
    ctx.err << "tessaro-cli: --precision must be 0, 1 or 2, not \"" << precision << "\"\n";
    return kBadInput;
  }
  CliPrompter prompter(ctx.err);
  app::FrameState frame;
  app::MainScreen screen(prompter, frame, ctx.baseFolder);
  if (hasPrecision) screen.setPrecision(precision.toInt());
  screen.setAllowedErrorText(allowed);
  screen.setShowDetails(details);
  const bool ran = screen.calculate();
  if (!ran || screen.lastVerdict() == app::MainScreen::Verdict::None) return kFailed;
  printRecords(screen.table(app::WorkTable::Result), ctx);
  const bool passed = screen.lastVerdict() == app::MainScreen::Verdict::Passed;
  ctx.err << "verdict: " << (passed ? "passed" : "failed") << "\n";
  return passed ? kOk : kVerdictFailed;
}

int runVerify(Context& ctx) {
  const QString usage = QStringLiteral("verify --formula 1|2 [--dir DIR] [--allowed TEXT] [--details]");
  QString formula, allowed = QStringLiteral("1");
  bool hasFormula = false, hasAllowed = false;
  if (!takeOption(ctx.args, QStringLiteral("--formula"), formula, hasFormula) ||
      !takeOption(ctx.args, QStringLiteral("--allowed"), allowed, hasAllowed))
    return unexpected(ctx, usage);
  const bool details = takeFlag(ctx.args, QStringLiteral("--details"));
  if (!ctx.args.isEmpty() || !hasFormula) return unexpected(ctx, usage);
  CliPrompter prompter(ctx.err);
  prompter.setAnswers({formula});
  app::FrameState frame;
  app::MainScreen screen(prompter, frame, ctx.baseFolder);
  screen.setAllowedErrorText(allowed);
  screen.setShowDetails(details);
  if (!screen.verify() || !screen.resultGridVisible()) return kFailed;
  printRecords(screen.table(app::WorkTable::Result), ctx);
  return kOk;
}

namespace {

// The body or glaze properties of the result records; prints the property table.
int runProperties(Context& ctx, bool body) {
  if (!ctx.args.isEmpty()) {
    return unexpected(ctx, body ? QStringLiteral("body [--dir DIR]") : QStringLiteral("glaze [--dir DIR]"));
  }
  CliPrompter prompter(ctx.err);
  app::FrameState frame;
  app::MainScreen screen(prompter, frame, ctx.baseFolder);
  if (!(body ? screen.bodyProperties() : screen.glazeProperties())) return kFailed;
  return printRecords(screen.table(app::WorkTable::Property), ctx) ? kOk : kFailed;
}

}  // namespace

int runBody(Context& ctx) { return runProperties(ctx, true); }
int runGlaze(Context& ctx) { return runProperties(ctx, false); }

int runKNa(Context& ctx) {
  if (!ctx.args.isEmpty()) return unexpected(ctx, QStringLiteral("kna [--dir DIR]"));
  CliPrompter prompter(ctx.err);
  app::FrameState frame;
  app::MainScreen screen(prompter, frame, ctx.baseFolder);
  if (!screen.toggleKNa()) return kFailed;
  ctx.out << (screen.kNaMerged() ? "merged" : "split") << "\n";
  return kOk;
}

int runPack(Context& ctx) {
  if (!ctx.args.isEmpty()) return unexpected(ctx, QStringLiteral("pack [--dir DIR]"));
  CliPrompter prompter(ctx.err);
  prompter.setConfirm(true);
  app::FrameState frame;
  app::MainScreen screen(prompter, frame, ctx.baseFolder);
  screen.pack();
  return screen.packSucceeded() ? kOk : kFailed;
}

}  // namespace tessaro::cli
