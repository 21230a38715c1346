// tessaro-cli: the program's commands without a window, for scripts and tests.
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <map>

#include "cli/commands.h"
#include "store/paths.h"

namespace {

int usage(QTextStream& err) {
  err << "usage: tessaro-cli COMMAND [--dir DIR] [options]\n"
         "commands:\n"
         "  dump TABLE        the records of a table, one JSON object per line\n"
         "  solve [FILE]      the proportion solver on JSON input\n"
         "  calc [--precision 0|1|2] [--allowed TEXT] [--details]\n"
         "                    the calculation run with its verdict; prints the result records\n"
         "  verify --formula 1|2 [--allowed TEXT] [--details]\n"
         "                    the composition verification; prints the result record\n"
         "  body              the body properties of the result records; prints the property table\n"
         "  glaze             the glaze properties of the result records; prints the property table\n"
         "  kna               K/Na merge or split of the working tables\n"
         "  pack              packs the six tables\n";
  err.flush();
  return tessaro::cli::kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);

  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  QString base = tessaro::store::programFolder();
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--dir")) {
      if (i + 1 >= args.size()) {
        err << "tessaro-cli: --dir needs a folder\n";
        return tessaro::cli::kBadInput;
      }
      base = args[i + 1];
      args.remove(i, 2);
      break;
    }
  }
  if (args.isEmpty() || args.first() == QLatin1String("--help")) return usage(err);

  const std::map<QString, std::function<int(tessaro::cli::Context&)>> commands = {
      {QStringLiteral("dump"), tessaro::cli::runDump},
      {QStringLiteral("solve"), tessaro::cli::runSolve},
      {QStringLiteral("calc"), tessaro::cli::runCalc},
      {QStringLiteral("verify"), tessaro::cli::runVerify},
      {QStringLiteral("body"), tessaro::cli::runBody},
      {QStringLiteral("glaze"), tessaro::cli::runGlaze},
      {QStringLiteral("kna"), tessaro::cli::runKNa},
      {QStringLiteral("pack"), tessaro::cli::runPack},
  };
  const QString name = args.takeFirst();
  const auto it = commands.find(name);
  if (it == commands.end()) {
    err << "tessaro-cli: unknown command: " << name << "\n";
    return usage(err);
  }
  tessaro::cli::Context ctx{args, base, out, err};
  const int status = it->second(ctx);
  out.flush();
  err.flush();
  return status;
}
