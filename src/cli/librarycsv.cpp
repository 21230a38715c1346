// tessaro-cli export TABLE FILE and import TABLE FILE [--replace]: a library
// table to a CSV file and back (app/librarycsv.h).
#include <QString>

#include <optional>

#include "app/datafolder.h"
#include "app/librarycsv.h"
#include "cli/cliprompter.h"
#include "cli/commands.h"
#include "store/table.h"

namespace tessaro::cli {

namespace {

// The library a command line names: materials or targets, or its file name.
std::optional<app::LibraryKind> libraryNamed(const QString& name) {
  const auto is = [&](const char* shortName, const char16_t* file) {
    return name == QLatin1String(shortName) || name.compare(QString::fromUtf16(file), Qt::CaseInsensitive) == 0;
  };
  if (is("materials", store::schema::kMaterialLibraryFile)) return app::LibraryKind::Materials;
  if (is("targets", store::schema::kTargetLibraryFile)) return app::LibraryKind::Targets;
  return std::nullopt;
}

// Runs `command` on the library the arguments name; `usage` when they name none.
template <class Command>
int onLibrary(Context& ctx, const char* usage, Command command) {
  if (ctx.args.size() != 2 || ctx.args[1].startsWith(QLatin1String("--"))) {
    ctx.err << "usage: tessaro-cli " << usage << "\nTABLE: materials, targets, YLK.DBF or pfk.dbf\n";
    return kBadInput;
  }
  const auto kind = libraryNamed(ctx.args[0]);
  if (!kind) {
    ctx.err << "tessaro-cli: TABLE must be materials, targets, YLK.DBF or pfk.dbf, not \"" << ctx.args[0] << "\"\n";
    return kBadInput;
  }
  const app::LibraryTraits& traits = app::libraryTraits(*kind);
  store::Table table;
  if (!table.open(ctx.baseFolder, traits.tableName)) {
    ctx.err << "tessaro-cli: " << table.errorString() << "\n";
    return kFailed;
  }
  CliPrompter prompter(ctx.err);
  app::LibraryCsv csv(prompter, table, *kind, app::readCaptions(traits.grid, app::settingsFile(ctx.baseFolder)));
  return command(csv, ctx.args[1]) ? kOk : kFailed;
}

}  // namespace

int runExport(Context& ctx) {
  return onLibrary(ctx, "export TABLE FILE [--dir DIR]", [](app::LibraryCsv& csv, const QString& file) { return csv.exportTo(file); });
}

int runImport(Context& ctx) {
  const bool replace = ctx.args.removeAll(QStringLiteral("--replace")) > 0;
  const app::ImportMode mode = replace ? app::ImportMode::Replace : app::ImportMode::Add;
  return onLibrary(ctx, "import TABLE FILE [--replace] [--dir DIR]",
                   [mode](app::LibraryCsv& csv, const QString& file) { return csv.importFrom(file, mode); });
}

}  // namespace tessaro::cli
