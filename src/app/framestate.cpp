#include "app/framestate.h"

#include <initializer_list>

#include "core/format.h"
#include "store/dbf.h"

namespace tessaro::app {

namespace {

void setAll(FrameState& s, std::initializer_list<Command> commands, bool on) {
  for (Command c : commands) s.setEnabled(c, on);
}

}  // namespace

QString statusDateText() { return QString::fromStdString(core::formatDate(store::today())); }

FrameState::FrameState() {
  enabled_.fill(true);
  setAll(*this,
         {Command::TB5, Command::TB8, Command::TB9, Command::TB7, Command::FramePrint, Command::FrameBody,
          Command::FrameGlaze, Command::N9, Command::N6, Command::N20, Command::N21},
         false);
  pressed_ = WindowButton::TB1;
}

void FrameState::frameCreated() { press(WindowButton::TB1); }

void FrameState::showMainScreen() {
  press(WindowButton::TB1);
  setAll(*this, {Command::TB4, Command::TB6, Command::FrameClear}, true);
}

void FrameState::showMaterialLibrary() {
  press(WindowButton::TB2);
  setAll(*this, {Command::TB4, Command::TB5, Command::TB6, Command::TB7, Command::FrameClear}, false);
}

void FrameState::showTargetLibrary() {
  press(WindowButton::TB3);
  setAll(*this, {Command::TB4, Command::TB5, Command::TB6, Command::TB7, Command::FrameClear}, false);
}

void FrameState::recordTransferred() {
  press(WindowButton::TB1);
  setAll(*this, {Command::TB4, Command::TB5, Command::TB6}, true);
}

void FrameState::calculationCompleted() {
  setAll(*this,
         {Command::TB5, Command::TB7, Command::TB8, Command::TB9, Command::N6, Command::N9, Command::N20,
          Command::N21},
         true);
}

void FrameState::verificationCompleted() {
  setAll(*this, {Command::TB7, Command::TB8, Command::TB9, Command::N9, Command::N20, Command::N21}, true);
}

void FrameState::propertiesComputed() {
  setAll(*this,
         {Command::TB8, Command::TB9, Command::FrameBody, Command::FrameGlaze, Command::N20, Command::N21},
         false);
}

void FrameState::printPreviewFinished() { setAll(*this, {Command::TB7, Command::N9}, false); }

}  // namespace tessaro::app
