// How the windows' logic meets a failure: a command that meets one says so
// in one message through the Prompter and stops before it writes anything
// more; every public command runs under the guard below, so that nothing it
// throws reaches the windows.
#pragma once

#include <QString>

#include <exception>

#include "app/prompter.h"
#include "store/table.h"

namespace tessaro::app {

// Runs a command so that nothing it throws reaches the caller.
template <typename F>
auto guarded(Prompter& prompter, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const std::exception& e) {
    prompter.error(QStringLiteral("命令因内部错误而停止：%1").arg(QString::fromLocal8Bit(e.what())));
  } catch (...) {
    prompter.error(QStringLiteral("命令因内部错误而停止。"));
  }
  return decltype(f())();
}

// A failure of the table engine: its message in an error box; false, so that
// the command stops (`return engineFailure(prompter, table);`).
inline bool engineFailure(Prompter& prompter, const store::Table& t) {
  prompter.error(t.errorString());
  return false;
}

// Why a command may not use the open table `t` (reading it, and writing it
// when `written`), ending with `closing` (by default the sentence that nothing
// was changed); empty when it may. A table whose file disagrees with its
// header is never used.
inline QString tableRefusal(const store::Table& t, bool written, const QString& closing = kNotRunText) {
  if (t.isDamaged()) return t.damageReport() + kCR + closing;
  if (written && t.isReadOnly()) return t.whyReadOnly() + QStringLiteral("。") + kCR + closing;
  return QString();
}

}  // namespace tessaro::app
