// Texts and state of the main frame that do not depend on widgets: the
// enabled flags of every tool button and menu item, the pressed flags of the
// three window buttons, and the rules that change them.
#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace tessaro::app {

// Caption of the main frame.
inline const QString kFrameCaption = QStringLiteral("Tessaro V1.0");

// Caption of the exit command.
inline const QString kExitCaption = QStringLiteral("退出");

// Today's date as the frame's status strip shows it.
QString statusDateText();

// Every command of the frame's tool bar, the frame menu and the main-screen menu.
enum class Command : int {
  // tool bar
  ToolMainScreen,      // "主界面"
  ToolMaterials,       // "原料库"
  ToolTargets,         // "目标库"
  ToolCalculate,       // "配方计算"
  ToolVerify,          // "验算组成"
  ToolBody,            // "坯性能"
  ToolGlaze,           // "釉性能"
  ToolCascade,         // "层叠"
  ToolTileHorizontal,  // "水平"
  ToolTileVertical,    // "垂直"
  ToolPrint,           // "打印/预览"
  ToolClear,           // "清空主界面数据"
  ToolCalculator,      // "计算器"
  ToolExit,            // "退出"
  // frame menu
  FrameMainScreen,      // "主界面(&Z)"
  FrameMaterials,       // "原料库(&Y)"
  FrameTargets,         // "目标库(&M)"
  FrameClear,           // "清空主界面数据(&D)"
  FramePrint,           // "打印/预览(&S)"
  FrameExit,            // "退出"
  FrameCalculate,       // "配方计算(&P)"
  FrameVerify,          // "验算组成(&S)"
  FrameBody,            // "坯性能计算(&B)"
  FrameGlaze,           // "釉性能计算(&G)"
  FrameCascade,         // "层叠(&N)"
  FrameTileHorizontal,  // "水平(&V)"
  FrameTileVertical,    // "垂直(&R)"
  FrameHelp,            // "帮助(&A)"
  FrameAbout,           // "关于(&O)"
  // main-screen menu
  MainScreenItem,      // "主界面"
  MainMaterials,       // "原料库"
  MainTargets,         // "目标库"
  MainClear,           // "清空主界面数据"
  MainPack,            // "整理数据库"
  MainPrint,           // "打印/预览"
  MainExit,            // "退出"
  MainCalculate,       // "配方计算"
  MainVerify,          // "验算组成"
  MainBody,            // "坯性能"
  MainGlaze,           // "釉性能"
  MainTileHorizontal,  // "水平"
  MainTileVertical,    // "垂直"
  MainCascade,         // "层叠"
  MainHelp,            // "帮助"
  MainAbout,           // "关于"
  Count
};

inline constexpr std::size_t kCommandCount = std::size_t(Command::Count);

// The three window buttons, exactly one of which is pressed.
enum class WindowButton { MainScreen, Materials, Targets };

// The main frame's command state.
class FrameState {
 public:
  FrameState();

  bool enabled(Command c) const { return enabled_[std::size_t(c)]; }
  void setEnabled(Command c, bool on) { enabled_[std::size_t(c)] = on; }
  bool pressed(WindowButton b) const { return pressed_ == b; }
  WindowButton pressedButton() const { return pressed_; }
  void press(WindowButton b) { pressed_ = b; }

  bool exitEnabled() const { return enabled(Command::ToolExit); }

  // The events of the command-state rules; each sets the flags of its rule
  // and leaves every other flag as it is.
  void frameCreated();
  void showMainScreen();
  void showMaterialLibrary();
  void showTargetLibrary();
  void recordTransferred();
  void calculationCompleted();
  void verificationCompleted();
  void propertiesComputed();
  void printPreviewFinished();

  bool operator==(const FrameState&) const = default;

 private:
  std::array<bool, kCommandCount> enabled_{};
  WindowButton pressed_ = WindowButton::MainScreen;
};

}  // namespace tessaro::app
