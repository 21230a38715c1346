// Options of a sub-command given as "--name VALUE" pairs.
#pragma once

#include <QString>
#include <QStringList>

#include <map>

namespace tessaro::cli {

// Reads `args` as pairs "--name VALUE" into `options`: each name one of
// `known`, given once, with a value that is not empty. False for anything else.
inline bool readOptionPairs(const QStringList& args, const QStringList& known, std::map<QString, QString>& options) {
  for (qsizetype i = 0; i < args.size(); i += 2) {
    if (!known.contains(args[i]) || i + 1 >= args.size() || args[i + 1].isEmpty() || options.count(args[i])) {
      return false;
    }
    options[args[i]] = args[i + 1];
  }
  return true;
}

}  // namespace tessaro::cli
