#include "app/framestate.h"

#include <initializer_list>

#include "core/format.h"
#include "store/dbf.h"

namespace tessaro::app {

using enum Command;

namespace {

void setAll(FrameState& s, std::initializer_list<Command> commands, bool on) {
  for (Command c : commands) s.setEnabled(c, on);
}

}  // namespace

QString statusDateText() { return QString::fromStdString(core::formatDate(store::today())); }

FrameState::FrameState() {
  enabled_.fill(true);
  setAll(*this,
         {ToolVerify, ToolBody, ToolGlaze, ToolPrint, FramePrint, FrameBody, FrameGlaze, MainPrint, MainVerify,
          MainBody, MainGlaze},
         false);
  pressed_ = WindowButton::MainScreen;
}

void FrameState::frameCreated() { press(WindowButton::MainScreen); }

void FrameState::showMainScreen() {
  press(WindowButton::MainScreen);
  setAll(*this, {ToolCalculate, ToolClear, FrameClear}, true);
}

void FrameState::showMaterialLibrary() {
  press(WindowButton::Materials);
  setAll(*this, {ToolCalculate, ToolVerify, ToolClear, ToolPrint, FrameClear}, false);
}

void FrameState::showTargetLibrary() {
  press(WindowButton::Targets);
  setAll(*this, {ToolCalculate, ToolVerify, ToolClear, ToolPrint, FrameClear}, false);
}

void FrameState::recordTransferred() {
  press(WindowButton::MainScreen);
  setAll(*this, {ToolCalculate, ToolVerify, ToolClear}, true);
}

void FrameState::calculationCompleted() {
  setAll(*this, {ToolVerify, ToolPrint, ToolBody, ToolGlaze, MainVerify, MainPrint, MainBody, MainGlaze}, true);
}

void FrameState::verificationCompleted() {
  setAll(*this, {ToolPrint, ToolBody, ToolGlaze, MainPrint, MainBody, MainGlaze}, true);
}

void FrameState::propertiesComputed() {
  setAll(*this, {ToolBody, ToolGlaze, FrameBody, FrameGlaze, MainBody, MainGlaze}, false);
}

void FrameState::printPreviewFinished() { setAll(*this, {ToolPrint, MainPrint}, false); }

}  // namespace tessaro::app
