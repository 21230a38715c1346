// Texts and state of the main frame that do not depend on widgets.
#pragma once

#include <QString>

namespace tessaro::app {

// Caption of the main frame.
inline const QString kFrameCaption = QStringLiteral("Tessaro V1.0");

// Caption of the exit command.
inline const QString kExitCaption = QStringLiteral("退出");

// The main frame's command state.
class FrameState {
 public:
  bool exitEnabled() const { return exitEnabled_; }

 private:
  bool exitEnabled_ = true;
};

}  // namespace tessaro::app
