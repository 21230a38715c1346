// The start-up password dialog: borderless, as large as the screen and above
// every other window of the program until the password is accepted.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "app/password.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaro::ui {

class TPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  // The password lives in `dataFolder`. Messages go through `prompter`
  // (message boxes over the dialog when null). `logicalDpi` reads the
  // screen's logical resolution (the dialog's screen when empty).
  explicit TPasswordDlg(const QString& dataFolder, app::Prompter* prompter = nullptr,
                        std::function<int()> logicalDpi = {}, QWidget* parent = nullptr);
  ~TPasswordDlg() override;

  const app::PasswordCheck& check() const { return *check_; }
  // The person left the program with "退出" (or Escape, or by closing the window).
  bool ended() const { return check_->state() == app::PasswordCheck::State::Ended; }

  // The font of the welcome text: "华文彩云" when the system has it, a bold
  // CJK font otherwise; 49 pixels high.
  static QFont welcomeFont();

 public slots:
  void OKBtnClick();
  void CancelBtnClick();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  // Escape and closing the window leave the program, like "退出".
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildWelcome();
  void buildPanels();
  void FormCreate();
  void layOut();
  void fieldsIn();
  void fieldsOut();
  void finish();

  std::unique_ptr<app::Prompter> ownPrompter_;
  std::unique_ptr<app::PasswordCheck> check_;

  QLabel* welcomeShadow_ = nullptr;
  QLabel* welcome_ = nullptr;
  QFrame* panel1_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QLineEdit* password_ = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QFrame* panel2_ = nullptr;
  QLineEdit* newPassword_ = nullptr;
  QLineEdit* repeatPassword_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
};

}  // namespace tessaro::ui
