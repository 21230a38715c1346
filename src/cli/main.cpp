// tessaro-cli: the program's commands without a window, for scripts and tests.
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include "store/paths.h"

namespace {

int usage(QTextStream& err) {
  err << "usage: tessaro-cli COMMAND [--dir DIR] [options]\n";
  err.flush();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  if (args.isEmpty() || args.first() == QLatin1String("--help")) return usage(err);
  err << "tessaro-cli: unknown command: " << args.first() << "\n";
  return usage(err);
}
