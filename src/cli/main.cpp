// tessaro-cli: the program's commands without a window, for scripts and tests.
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <clocale>
#include <functional>
#include <memory>
#include <string_view>
#include <map>

#include "app/datafolder.h"
#include "cli/commands.h"

namespace {

struct Command {
  std::function<int(tessaro::cli::Context&)> run;
  bool needsFolderLock;  // it changes the tables
};

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
         "  pack              packs the six tables\n"
         "  report [--pdf FILE] [--xlsx FILE [--weight KG] [--water PERCENT]]\n"
         "                    the formula report, and the property report when the\n"
         "                    property table holds rows, into one PDF file; and as one\n"
         "                    Excel workbook: the formula report's table, the property\n"
         "                    table and the batch sheet for KG kg of dry material\n"
         "                    (default 100) and PERCENT water in the slip (default 0)\n"
         "  batch --weight KG [--water PERCENT] [--csv FILE] [--pdf FILE]\n"
         "                    the batch sheet of the result formulas for KG kg of dry\n"
         "                    material and PERCENT water in the slip; JSON, and CSV or PDF\n"
         "  expansion [--set NAME] [--body X]\n"
         "                    the calculated thermal expansion of the result formulas by the factor\n"
         "                    set NAME (default Appen), and their fit on a body of coefficient X\n"
         "  stull [--png FILE] [--svg FILE]\n"
         "                    the result formulas and the target on the Stull chart (RO = 1);\n"
         "                    prints one JSON object, writes the chart as PNG or SVG\n"
         "  export TABLE FILE the library TABLE (materials, targets) as a CSV file\n"
         "  import TABLE FILE [--replace]\n"
         "                    checks the CSV file FILE and adds its records to the library TABLE,\n"
         "                    or replaces the library's records with them\n";
  err.flush();
  return tessaro::cli::kBadInput;
}

// Whether the command line asks for a command that paints (the report, the
// Stull chart, the batch sheet's PDF) and so needs fonts: a GUI application
// on the offscreen platform, without a display.
bool wantsReport(int argc, char** argv) {
  std::string_view command;
  bool pdf = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg == "--dir") {
      ++i;
    } else if (command.empty()) {
      command = arg;
    } else {
      pdf = pdf || arg == "--pdf";
    }
  }
  return command == "report" || command == "stull" || (command == "batch" && pdf);
}

// The commands by name. Those that change the tables hold the data folder
// while they run, so that no other program changes it meanwhile; reading
// needs no lock.
const std::map<QString, Command>& commandTable() {
  static const std::map<QString, Command> commands = {
      {QStringLiteral("dump"), {tessaro::cli::runDump, false}},
      {QStringLiteral("solve"), {tessaro::cli::runSolve, false}},
      {QStringLiteral("calc"), {tessaro::cli::runCalc, true}},
      {QStringLiteral("verify"), {tessaro::cli::runVerify, true}},
      {QStringLiteral("body"), {tessaro::cli::runBody, true}},
      {QStringLiteral("glaze"), {tessaro::cli::runGlaze, true}},
      {QStringLiteral("kna"), {tessaro::cli::runKNa, true}},
      {QStringLiteral("pack"), {tessaro::cli::runPack, true}},
      {QStringLiteral("report"), {tessaro::cli::runReport, false}},
      {QStringLiteral("batch"), {tessaro::cli::runBatch, false}},
      {QStringLiteral("expansion"), {tessaro::cli::runExpansion, false}},
      {QStringLiteral("stull"), {tessaro::cli::runStull, false}},
      {QStringLiteral("export"), {tessaro::cli::runExport, false}},
      {QStringLiteral("import"), {tessaro::cli::runImport, true}},
  };
  return commands;
}

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
  if (!wantsReport(argc, argv)) return std::make_unique<QCoreApplication>(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
  // Qt takes the user's locale for the C library; numbers are read and
  // written with a decimal point whatever the language.
  std::setlocale(LC_NUMERIC, "C");
  QTextStream out(stdout);
  QTextStream err(stderr);

  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  QString base;
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

  const QString name = args.takeFirst();
  const auto& commands = commandTable();
  const auto it = commands.find(name);
  if (it == commands.end()) {
    err << "tessaro-cli: unknown command: " << name << "\n";
    return usage(err);
  }
  // Where the data folder is: --dir, TESSARO_DIR, beside the program, or
  // the user's data home, made from the installed template when new.
  if (name != QLatin1String("solve")) {
    const tessaro::app::BaseFolder chosen = tessaro::app::chooseBaseFolder(base);
    if (!chosen.error.isEmpty()) {
      err << "[错误] " << chosen.error << "\n";
      return tessaro::cli::kFailed;
    }
    base = chosen.folder;
  }
  tessaro::app::DataFolderLock folderLock;
  if (it->second.needsFolderLock && !folderLock.acquire(tessaro::app::dataFolder(base))) {
    err << "[错误] " << folderLock.errorString() << "\n";
    return tessaro::cli::kFailed;
  }
  tessaro::cli::Context ctx{args, base, out, err};
  const int status = it->second.run(ctx);
  out.flush();
  err.flush();
  return status;
}
