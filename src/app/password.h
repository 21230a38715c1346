// The start-up password check: the logic of the password dialog without its
// widgets. The dialog copies its three fields in before each command and the
// texts, the visibility of the empty-password label and of the change panel,
// and the state out after it.
#pragma once

#include <QString>

#include <functional>

#include "app/prompter.h"

namespace tessaro::app {

// Texts of the password dialog.
inline const QString kPasswordTitle = QStringLiteral(" 验证密码：");
inline const QString kPasswordPrompt = QStringLiteral("请输入密码：");
inline const QString kEmptyPasswordLabel = QStringLiteral("没修改密码前密码为空。");
inline const QString kEnterCaption = QStringLiteral("进入");
inline const QString kChangeCaption = QStringLiteral("修改密码");
inline const QString kQuitCaption = QStringLiteral("退出");
inline const QString kChangeTitle = QStringLiteral(" 修改密码：");
inline const QString kNewPasswordPrompt = QStringLiteral("输入新密码：");
inline const QString kRepeatPasswordPrompt = QStringLiteral("再次输入新密码：    ");
inline const QString kConfirmChangeCaption = QStringLiteral("确定");
inline const QString kCancelChangeCaption = QStringLiteral("取消");
inline const QString kWelcomeText = QStringLiteral("欢迎使用Tessaro软件");

inline const QString kWrongPasswordText = QStringLiteral("密码错误，重新输入！");
inline const QString kEntriesDifferText = QStringLiteral("密码有误！");
inline const QString kPasswordChangedText = QStringLiteral("密码修改成功！");
inline const QString kOldPasswordValidText = QStringLiteral("原密码仍然有效。");
inline const QString kEmptyPasswordAppliesText = QStringLiteral("现在按空密码验证。");
inline const QString kLargeFontCaption = QStringLiteral("提示");
inline const QString kLargeFontText = QStringLiteral("您所设置的显示字体为大字体，将会影响正常显示。") + kCR +
                                      QStringLiteral("建议改为小字体。") + kCR + kCR + QStringLiteral("接受帮助？");
inline const QString kLargeFontHelpCaption = QStringLiteral("帮助");
inline const QString kLargeFontHelpText = QStringLiteral("从桌面空白处点鼠标右键，点“属性”，") + kCR +
                                          QStringLiteral("点“设置”，点“高级”。从“显示字体") + kCR +
                                          QStringLiteral("大小”栏中将“大字体”改成“小字体”。");

// The logical resolution, in dots per inch, of the large-font setting.
inline constexpr int kLargeFontDpi = 120;

class PasswordCheck {
 public:
  // asking: the password panel; changing: the change panel over it; closed:
  // the password was accepted; ended: the person left the program.
  enum class State { Asking, Changing, Closed, Ended };

  // `dataFolder` holds the password file; `logicalDpi` reads the screen's
  // logical resolution each time the creation routine runs.
  PasswordCheck(QString dataFolder, Prompter& prompter, std::function<int()> logicalDpi);

  // The creation routine: the large-font advisory, then the stored password
  // read from its file and the empty-password label shown when it is empty.
  void start();

  void enter();          // "进入": checks the password
  void quit();           // "退出", and the Escape key
  void beginChange();    // "修改密码": opens the change panel
  void confirmChange();  // "确定": stores the new password when both entries agree
  void cancelChange();   // "取消": closes the change panel

  // The three fields.
  QString password;
  QString newPassword;
  QString repeatPassword;

  State state() const { return state_; }
  bool emptyLabelVisible() const { return emptyLabelVisible_; }
  bool changePanelVisible() const { return state_ == State::Changing; }
  const QString& storedPassword() const { return stored_; }

 private:
  Button wrongPassword();
  Button informationYes(const QString& text);

  QString dataFolder_;
  Prompter& prompter_;
  std::function<int()> logicalDpi_;
  QString stored_;
  bool emptyLabelVisible_ = false;
  State state_ = State::Asking;
};

}  // namespace tessaro::app
