// The guard around every command of the windows' logic.
#pragma once

#include <QString>

#include <exception>

#include "app/prompter.h"

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

}  // namespace tessaro::app
