// The frame's command-state rules: each event sets exactly the flags of its rule.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/framestate.h"

namespace tessaro::app {
namespace {

using C = Command;

struct Rule {
  std::string event;
  std::function<void(FrameState&)> apply;
  std::optional<WindowButton> pressed;
  std::set<Command> enabled;
  std::set<Command> disabled;
};

const std::vector<Rule>& rules() {
  static const std::vector<Rule> r = {
      {"frame created", &FrameState::frameCreated, WindowButton::MainScreen, {}, {}},
      {"show main screen",
       &FrameState::showMainScreen,
       WindowButton::MainScreen,
       {C::ToolCalculate, C::ToolClear, C::FrameClear},
       {}},
      {"show material library",
       &FrameState::showMaterialLibrary,
       WindowButton::Materials,
       {},
       {C::ToolCalculate, C::ToolVerify, C::ToolClear, C::ToolPrint, C::FrameClear}},
      {"show target library",
       &FrameState::showTargetLibrary,
       WindowButton::Targets,
       {},
       {C::ToolCalculate, C::ToolVerify, C::ToolClear, C::ToolPrint, C::FrameClear}},
      {"record transferred",
       &FrameState::recordTransferred,
       WindowButton::MainScreen,
       {C::ToolCalculate, C::ToolVerify, C::ToolClear},
       {}},
      {"calculation completed",
       &FrameState::calculationCompleted,
       std::nullopt,
       {C::ToolVerify, C::ToolPrint, C::ToolBody, C::ToolGlaze, C::MainVerify, C::MainPrint, C::MainBody, C::MainGlaze},
       {}},
      {"verification completed",
       &FrameState::verificationCompleted,
       std::nullopt,
       {C::ToolPrint, C::ToolBody, C::ToolGlaze, C::MainPrint, C::MainBody, C::MainGlaze},
       {}},
      {"properties computed",
       &FrameState::propertiesComputed,
       std::nullopt,
       {},
       {C::ToolBody, C::ToolGlaze, C::FrameBody, C::FrameGlaze, C::MainBody, C::MainGlaze}},
      {"print preview finished", &FrameState::printPreviewFinished, std::nullopt, {}, {C::ToolPrint, C::MainPrint}},
  };
  return r;
}

// Known states: everything off with the material library's button pressed,
// everything on with the target library's button pressed,
// and alternating flags with the main screen's button pressed.
std::vector<FrameState> knownStates() {
  std::vector<FrameState> states(3);
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    states[0].setEnabled(Command(i), false);
    states[1].setEnabled(Command(i), true);
    states[2].setEnabled(Command(i), i % 2 == 0);
  }
  states[0].press(WindowButton::Materials);
  states[1].press(WindowButton::Targets);
  states[2].press(WindowButton::MainScreen);
  return states;
}

TEST(FrameState, EachEventSetsExactlyTheFlagsOfItsRule) {
  for (const Rule& rule : rules()) {
    for (const FrameState& before : knownStates()) {
      FrameState after = before;
      rule.apply(after);
      for (std::size_t i = 0; i < kCommandCount; ++i) {
        const Command c = Command(i);
        bool expected = before.enabled(c);
        if (rule.enabled.count(c)) expected = true;
        if (rule.disabled.count(c)) expected = false;
        EXPECT_EQ(after.enabled(c), expected) << rule.event << ", command " << i;
      }
      EXPECT_EQ(after.pressedButton(), rule.pressed.value_or(before.pressedButton())) << rule.event;
    }
  }
}

TEST(FrameState, InitialFlags) {
  const FrameState s;
  const std::set<Command> off = {C::ToolVerify, C::ToolPrint,  C::ToolBody,  C::ToolGlaze, C::FramePrint, C::FrameBody,
                                 C::FrameGlaze, C::MainVerify, C::MainPrint, C::MainBody,  C::MainGlaze};
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    EXPECT_EQ(s.enabled(Command(i)), off.count(Command(i)) == 0) << "command " << i;
  }
  EXPECT_TRUE(s.pressed(WindowButton::MainScreen));
  EXPECT_FALSE(s.pressed(WindowButton::Materials));
  EXPECT_TRUE(s.exitEnabled());
}

}  // namespace
}  // namespace tessaro::app

#include "app/gridhints.h"

namespace tessaro::app {
namespace {

TEST(GridHints, FormulaGridZonesAreStrict) {
  // Widths as designed: name 94, proportions 44, marks 44.
  const QString table = "配方配比和原料化学组成表（表1）";
  EXPECT_EQ(formulaGridHint(12, 94, 44, 44), (PointerHint{table, PointerCursor::Default}));
  EXPECT_EQ(formulaGridHint(13, 94, 44, 44), (PointerHint{"原料名称", PointerCursor::Hand}));
  EXPECT_EQ(formulaGridHint(106, 94, 44, 44).hint, table);  // boundary of name and NUM1
  EXPECT_EQ(formulaGridHint(107, 94, 44, 44).hint, "含灼减的配方配比(%),是所求的配方结果!!!");
  EXPECT_EQ(formulaGridHint(195, 94, 44, 44).cursor, PointerCursor::Drag);
  EXPECT_EQ(formulaGridHint(325, 94, 44, 44).cursor, PointerCursor::Drag);
  EXPECT_EQ(formulaGridHint(326, 94, 44, 44).hint, table);
}

TEST(GridHints, TargetGridZonesAreStrict) {
  EXPECT_EQ(targetGridHint(100, 185, 44), (PointerHint{"目标配方名称", PointerCursor::Hand}));
  EXPECT_EQ(targetGridHint(197, 185, 44).hint, "目标配方化学组成表（表2）");
  EXPECT_EQ(targetGridHint(198, 185, 44).cursor, PointerCursor::Drag);
  EXPECT_EQ(targetGridHint(329, 185, 44).hint, "目标配方化学组成表（表2）");
}

}  // namespace
}  // namespace tessaro::app
