#include "ui/passworddlg.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "modal_watchdog.h"
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/scripted_prompter.h"
#include "controls.h"
#include "store/password.h"
#include "ui/mainframe.h"

using namespace tessaro;
using ui::TPasswordDlg;

namespace {

const QString kWrong = QStringLiteral("密码错误，重新输入！");
const QString kChanged = QStringLiteral("密码修改成功！");

class PasswordDialog : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  // The dialog as a start of the program shows it.
  std::unique_ptr<TPasswordDlg> start() {
    auto d = std::make_unique<TPasswordDlg>(dir_.path(), &prompter_, [] { return 96; });
    d->show();
    return d;
  }

  // A control of the dialog; a missing one stops the test.
  template <class T = QWidget>
  static T* w(const TPasswordDlg& d, const char* name) {
    return test::control<T>(&d, QString::fromLatin1(name));
  }
  static void type(const TPasswordDlg& d, const char* field, const QString& text) {
    auto* e = w<QLineEdit>(d, field);
    e->clear();
    QTest::keyClicks(e, text);
  }
  static void click(const TPasswordDlg& d, const char* button) {
    QTest::mouseClick(w<QPushButton>(d, button), Qt::LeftButton);
  }
  // Types into the password field and presses Enter.
  static void enter(const TPasswordDlg& d, const QString& text) {
    type(d, "Password", text);
    QTest::keyClick(w(d, "Password"), Qt::Key_Return);
  }
  static bool accepted(const TPasswordDlg& d) { return !d.isVisible() && d.result() == QDialog::Accepted; }
  static bool emptyLabel(const TPasswordDlg& d) { return w(d, "Label2")->isVisible(); }

  QTemporaryDir dir_;
  test::ScriptedPrompter prompter_;
};

}  // namespace

TEST_F(PasswordDialog, CoversTheScreenWithStripesTextAndPanel) {
  auto d = start();
  const QRect screen = d->screen()->geometry();
  EXPECT_EQ(d->geometry(), screen);
  EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);

  auto* panel1 = w(*d, "Panel1");
  EXPECT_EQ(panel1->geometry(), QRect((screen.width() - 353) / 2, (screen.height() - 169) / 2, 353, 169));
  const std::pair<const char*, const char*> texts[] = {
      {"PanelTitle1", " 验证密码："}, {"Label1", "请输入密码："}, {"Label2", "没修改密码前密码为空。"},
      {"PanelTitle2", " 修改密码："}, {"Label3", "输入新密码："}, {"Label4", "再次输入新密码：    "},
      {"Welcome", "欢迎使用Tessaro软件"}, {"WelcomeShadow", "欢迎使用Tessaro软件"}};
  for (auto [name, text] : texts) EXPECT_EQ(w<QLabel>(*d, name)->text(), QString::fromUtf8(text)) << name;
  const std::pair<const char*, const char*> buttons[] = {
      {"OKBtn", "进入"}, {"Button1", "修改密码"}, {"CancelBtn", "退出"}, {"Button2", "确定"}, {"Button3", "取消"}};
  for (auto [name, text] : buttons) EXPECT_EQ(w<QPushButton>(*d, name)->text(), QString::fromUtf8(text)) << name;
  EXPECT_TRUE(w<QPushButton>(*d, "OKBtn")->isDefault());
  EXPECT_FALSE(w(*d, "Panel2")->isVisible());
  EXPECT_EQ(w(*d, "Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));

  // The password field shows stars, the change fields clear text.
  type(*d, "Password", QStringLiteral("ab C"));
  EXPECT_EQ(w<QLineEdit>(*d, "Password")->displayText(), QStringLiteral("****"));
  EXPECT_EQ(w<QLineEdit>(*d, "Edit1")->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(w<QLineEdit>(*d, "Edit2")->echoMode(), QLineEdit::Normal);

  // The welcome text: red, bold, 49 pixels, centred, twice its height above
  // the panel; the black shadow 2 pixels up and left, beneath it.
  auto* red = w<QLabel>(*d, "Welcome");
  auto* shadow = w<QLabel>(*d, "WelcomeShadow");
  EXPECT_EQ(red->font().pixelSize(), 49);
  EXPECT_TRUE(red->font().bold());
  EXPECT_EQ(red->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(shadow->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_LE(std::abs(red->x() * 2 + red->width() - screen.width()), 1);
  EXPECT_EQ(red->y(), panel1->y() - 2 * red->height());
  EXPECT_EQ(shadow->pos(), red->pos() - QPoint(2, 2));
  EXPECT_LT(d->children().indexOf(shadow), d->children().indexOf(red));

  // The stripes as painted, on a window wider than the 256 of them.
  d->resize(1400, 700);
  const QImage image = d->grab().toImage();
  for (int i : {0, 1, 100, 254, 255}) {
    EXPECT_EQ(image.pixelColor(i * 5, 5), QColor(i, i, 255)) << i;
    EXPECT_EQ(image.pixelColor(i * 5 + 4, 695), QColor(i, i, 255)) << i;
  }
  EXPECT_EQ(image.pixelColor(1399, 695), QColor(Qt::white));
}

TEST_F(PasswordDialog, NeverSetPasswordEntersEmpty) {
  auto d = start();
  EXPECT_TRUE(emptyLabel(*d));
  enter(*d, QString());
  EXPECT_TRUE(accepted(*d));
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordDialog, ExactPasswordOnlyWithCaseAndTrailingSpace) {
  ASSERT_TRUE(store::writePassword(dir_.path(), QStringLiteral("Pass ")));
  auto d = start();
  EXPECT_FALSE(emptyLabel(*d));
  for (const QString& attempt : {QStringLiteral("pass "), QStringLiteral("Pass"), QString()}) {
    enter(*d, attempt);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(w<QLineEdit>(*d, "Password")->text().isEmpty());
  }
  EXPECT_EQ(prompter_.texts(), QStringList(3, kWrong));
  enter(*d, QStringLiteral("Pass "));
  EXPECT_TRUE(accepted(*d));
}

TEST_F(PasswordDialog, NewPasswordHoldsNowAndAtTheNextStart) {
  auto d = start();
  click(*d, "Button1");
  ASSERT_TRUE(w(*d, "Panel2")->isVisible());
  // The controls under the panel take no input; typing goes to the panel.
  EXPECT_FALSE(w(*d, "Password")->isEnabled());
  EXPECT_FALSE(w(*d, "OKBtn")->isEnabled());
  EXPECT_EQ(d->focusWidget(), w(*d, "Edit1"));
  type(*d, "Edit1", QStringLiteral("Glaze"));
  type(*d, "Edit2", QStringLiteral("glaze"));
  click(*d, "Button2");
  EXPECT_EQ(prompter_.texts(), QStringList{QStringLiteral("密码有误！")});
  EXPECT_TRUE(w(*d, "Panel2")->isVisible());

  // Enter confirms the change; it never presses the hidden "进入".
  type(*d, "Edit2", QStringLiteral("Glaze"));
  QTest::keyClick(w(*d, "Edit2"), Qt::Key_Return);
  EXPECT_TRUE(d->isVisible());
  EXPECT_EQ(prompter_.texts().last(), kChanged);
  EXPECT_FALSE(w(*d, "Panel2")->isVisible());
  EXPECT_FALSE(emptyLabel(*d));
  EXPECT_EQ(w<QLineEdit>(*d, "Edit1")->text(), QStringLiteral("Glaze"));
  EXPECT_EQ(w<QLineEdit>(*d, "Edit2")->text(), QStringLiteral("Glaze"));

  // "取消" empties the password and new-password fields, not the repeat field.
  type(*d, "Password", QStringLiteral("Glaze"));
  click(*d, "Button1");
  click(*d, "Button3");
  EXPECT_FALSE(w(*d, "Panel2")->isVisible());
  EXPECT_TRUE(w<QLineEdit>(*d, "Password")->text().isEmpty());
  EXPECT_TRUE(w<QLineEdit>(*d, "Edit1")->text().isEmpty());
  EXPECT_EQ(w<QLineEdit>(*d, "Edit2")->text(), QStringLiteral("Glaze"));

  enter(*d, QString());
  EXPECT_EQ(prompter_.texts().last(), kWrong);
  enter(*d, QStringLiteral("Glaze"));
  EXPECT_TRUE(accepted(*d));

  auto next = start();
  enter(*next, QString());
  EXPECT_TRUE(next->isVisible());
  enter(*next, QStringLiteral("Glaze"));
  EXPECT_TRUE(accepted(*next));
}

TEST_F(PasswordDialog, ChangeToEmptyShowsTheLabelAgain) {
  ASSERT_TRUE(store::writePassword(dir_.path(), QStringLiteral("k")));
  auto d = start();
  type(*d, "Password", QStringLiteral("k"));
  click(*d, "Button1");
  click(*d, "Button2");
  EXPECT_EQ(prompter_.texts(), QStringList{kChanged});
  EXPECT_TRUE(emptyLabel(*d));
  enter(*d, QString());
  EXPECT_TRUE(accepted(*d));
  EXPECT_TRUE(emptyLabel(*start()));
}

TEST_F(PasswordDialog, QuitEscapeAndCloseEndTheProgram) {
  auto d = start();
  click(*d, "CancelBtn");
  EXPECT_TRUE(d->ended());
  EXPECT_EQ(d->result(), QDialog::Rejected);

  // Escape while the change panel is open.
  d = start();
  click(*d, "Button1");
  type(*d, "Edit1", QStringLiteral("abc"));
  QTest::keyClick(w(*d, "Edit1"), Qt::Key_Escape);
  EXPECT_TRUE(d->ended());
  EXPECT_FALSE(d->isVisible());

  // Closing the window otherwise is leaving too, never entering.
  d = start();
  d->close();
  EXPECT_TRUE(d->ended());
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordDialog, NothingBehindTakesInputWhileShown) {
  ui::TMainForm frame(&prompter_);
  frame.resize(1600, 600);  // the whole tool bar in view
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  auto* exitAction = test::control<QAction>(&frame, QStringLiteral("TBExit"));
  QWidget* exitButton = test::control<QToolBar>(&frame, QStringLiteral("ToolBar1"))->widgetForAction(exitAction);
  ASSERT_NE(exitButton, nullptr);
  const QPoint exitAt = exitButton->mapTo(&frame, exitButton->rect().center());

  TPasswordDlg dlg(dir_.path(), &prompter_, [] { return 96; });
  bool modal = false;
  bool frameStayedOpen = false;
  QTimer::singleShot(0, &dlg, [&] {
    modal = QApplication::activeModalWidget() == &dlg;
    // A click on the frame's exit button and a key, as the window system delivers them.
    QTest::mouseClick(frame.windowHandle(), Qt::LeftButton, Qt::NoModifier, exitAt);
    QTest::keyClick(frame.windowHandle(), Qt::Key_Escape);
    frameStayedOpen = frame.isVisible() && dlg.isVisible();
    // Without its button the dialog stays open and the watchdog ends it.
    if (auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"))) QTest::mouseClick(ok, Qt::LeftButton);
  });
  test::ModalWatchdog watchdog;
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  ASSERT_FALSE(watchdog.fired()) << "the dialog was not answered";
  EXPECT_TRUE(modal);
  EXPECT_TRUE(frameStayedOpen);
  // Once the password is accepted the same click reaches the frame.
  QTest::mouseClick(frame.windowHandle(), Qt::LeftButton, Qt::NoModifier, exitAt);
  EXPECT_FALSE(frame.isVisible());
}

namespace {

// Visible from its creation: the boxes of the creation routine (here the
// large-font advisory) come when the dialog already covers the screen.
TEST_F(PasswordDialog, CoversTheScreenBeforeItsFirstBox) {
  struct Watching : test::ScriptedPrompter {
    bool covered = false;
    app::Button message(const app::Message& m) override {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("PasswordDlg") && top->isVisible() && top->screen() &&
            top->geometry() == top->screen()->geometry())
          covered = true;
      }
      return ScriptedPrompter::message(m);
    }
  } watching;
  watching.buttons = {app::Button::No};
  TPasswordDlg d(dir_.path(), &watching, [] { return 120; });
  ASSERT_EQ(watching.messages.size(), 1u);
  EXPECT_TRUE(watching.covered);
}

}  // namespace
