#include "ui/passworddlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/scripted_prompter.h"
#include "store/password.h"
#include "ui/mainform.h"

using namespace tessaro;
using ui::TPasswordDlg;

namespace {

class PasswordDialog : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  std::unique_ptr<TPasswordDlg> create(int dpi = 96) {
    auto d = std::make_unique<TPasswordDlg>(dir_.path(), &prompter_, [dpi] { return dpi; });
    d->show();
    return d;
  }

  template <class T>
  static T* child(const TPasswordDlg& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  static void type(QWidget* w, const QString& text) {
    w->setFocus();
    QTest::keyClicks(w, text);
  }

  QStringList texts() const { return prompter_.texts(); }

  QTemporaryDir dir_;
  test::ScriptedPrompter prompter_;
};

}  // namespace

TEST_F(PasswordDialog, CoversTheScreenWithStripesTextAndPanel) {
  auto d = create();
  const QRect screen = d->screen()->geometry();
  EXPECT_EQ(d->geometry(), screen);
  EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(d->windowModality(), Qt::ApplicationModal);

  auto* panel1 = child<QFrame>(*d, "Panel1");
  EXPECT_EQ(panel1->geometry(),
            QRect((screen.width() - 353) / 2, (screen.height() - 169) / 2, 353, 169));
  EXPECT_EQ(child<QLabel>(*d, "PanelTitle1")->text(), QStringLiteral(" 验证密码："));
  EXPECT_EQ(child<QLabel>(*d, "Label1")->text(), QStringLiteral("请输入密码："));
  EXPECT_EQ(child<QLabel>(*d, "PanelTitle2")->text(), QStringLiteral(" 修改密码："));
  EXPECT_EQ(child<QLabel>(*d, "Label3")->text(), QStringLiteral("输入新密码："));
  EXPECT_EQ(child<QLabel>(*d, "Label4")->text(), QStringLiteral("再次输入新密码：    "));
  EXPECT_EQ(child<QPushButton>(*d, "OKBtn")->text(), QStringLiteral("进入"));
  EXPECT_TRUE(child<QPushButton>(*d, "OKBtn")->isDefault());
  EXPECT_EQ(child<QPushButton>(*d, "Button1")->text(), QStringLiteral("修改密码"));
  EXPECT_EQ(child<QPushButton>(*d, "CancelBtn")->text(), QStringLiteral("退出"));
  EXPECT_EQ(child<QPushButton>(*d, "Button2")->text(), QStringLiteral("确定"));
  EXPECT_EQ(child<QPushButton>(*d, "Button3")->text(), QStringLiteral("取消"));
  EXPECT_FALSE(child<QFrame>(*d, "Panel2")->isVisible());

  // The welcome text: red, centred, twice its height above the panel; the
  // black shadow 2 pixels up and left, beneath it.
  auto* red = child<QLabel>(*d, "Welcome");
  auto* shadow = child<QLabel>(*d, "WelcomeShadow");
  EXPECT_EQ(red->text(), QStringLiteral("欢迎使用Tessaro软件"));
  EXPECT_EQ(shadow->text(), red->text());
  EXPECT_EQ(red->font().pixelSize(), 49);
  EXPECT_TRUE(red->font().bold());
  EXPECT_EQ(red->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(shadow->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_LE(std::abs(red->x() * 2 + red->width() - screen.width()), 1);
  EXPECT_EQ(red->y(), panel1->y() - 2 * red->height());
  EXPECT_EQ(shadow->pos(), red->pos() - QPoint(2, 2));
  EXPECT_LT(d->children().indexOf(shadow), d->children().indexOf(red));

  // The stripes, read back from the painted window well away from the text,
  // on a window wider than the 256 stripes: white beyond them.
  d->resize(1400, 700);
  const QImage image = d->grab().toImage();
  ASSERT_EQ(image.width(), 1400);
  for (int i : {0, 1, 100, 254, 255}) {
    EXPECT_EQ(image.pixelColor(i * 5, 5), QColor(i, i, 255)) << i;
    EXPECT_EQ(image.pixelColor(i * 5 + 4, 695), QColor(i, i, 255)) << i;
  }
  EXPECT_EQ(image.pixelColor(1280, 5), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(1399, 695), QColor(Qt::white));
}

TEST_F(PasswordDialog, PasswordFieldShowsStars) {
  auto d = create();
  auto* field = child<QLineEdit>(*d, "Password");
  type(field, QStringLiteral("ab C"));
  EXPECT_EQ(field->text(), QStringLiteral("ab C"));
  EXPECT_EQ(field->displayText(), QStringLiteral("****"));
  // The change fields are clear text.
  EXPECT_EQ(child<QLineEdit>(*d, "Edit1")->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(child<QLineEdit>(*d, "Edit2")->echoMode(), QLineEdit::Normal);
}

TEST_F(PasswordDialog, NeverSetPasswordEntersWithEnter) {
  auto d = create();
  EXPECT_TRUE(child<QLabel>(*d, "Label2")->isVisible());
  EXPECT_EQ(child<QLabel>(*d, "Label2")->text(), QStringLiteral("没修改密码前密码为空。"));
  EXPECT_EQ(child<QLabel>(*d, "Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));
  QTest::keyClick(child<QLineEdit>(*d, "Password"), Qt::Key_Return);
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_FALSE(d->ended());
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordDialog, WrongPasswordKeepsTheDialog) {
  ASSERT_TRUE(store::writePassword(dir_.path(), QStringLiteral("Pass ")));
  auto d = create();
  EXPECT_FALSE(child<QLabel>(*d, "Label2")->isVisible());
  auto* field = child<QLineEdit>(*d, "Password");
  for (const QString& attempt : {QStringLiteral("pass "), QStringLiteral("Pass")}) {
    type(field, attempt);
    QTest::mouseClick(child<QPushButton>(*d, "OKBtn"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(field->text().isEmpty());
  }
  EXPECT_EQ(texts(), QStringList(2, QStringLiteral("密码错误，重新输入！")));
  type(field, QStringLiteral("Pass "));
  QTest::keyClick(field, Qt::Key_Enter);
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(PasswordDialog, ChangeThroughThePanel) {
  auto d = create();
  auto* field = child<QLineEdit>(*d, "Password");
  auto* panel2 = child<QFrame>(*d, "Panel2");
  auto* edit1 = child<QLineEdit>(*d, "Edit1");
  auto* edit2 = child<QLineEdit>(*d, "Edit2");

  QTest::mouseClick(child<QPushButton>(*d, "Button1"), Qt::LeftButton);
  ASSERT_TRUE(panel2->isVisible());
  // The covered controls take no input while the panel is open.
  EXPECT_FALSE(field->isEnabled());
  EXPECT_FALSE(child<QPushButton>(*d, "OKBtn")->isEnabled());
  EXPECT_EQ(d->focusWidget(), edit1);

  type(edit1, QStringLiteral("Glaze"));
  type(edit2, QStringLiteral("glaze"));
  QTest::mouseClick(child<QPushButton>(*d, "Button2"), Qt::LeftButton);
  EXPECT_EQ(texts(), QStringList{QStringLiteral("密码有误！")});
  EXPECT_TRUE(panel2->isVisible());

  // Enter in the panel confirms the change; it never presses the hidden "进入".
  edit2->clear();
  type(edit2, QStringLiteral("Glaze"));
  QTest::keyClick(edit2, Qt::Key_Return);
  EXPECT_TRUE(d->isVisible());
  EXPECT_EQ(texts().last(), QStringLiteral("密码修改成功！"));
  EXPECT_FALSE(panel2->isVisible());
  EXPECT_FALSE(child<QLabel>(*d, "Label2")->isVisible());
  EXPECT_TRUE(field->isEnabled());
  EXPECT_TRUE(field->text().isEmpty());
  EXPECT_EQ(edit1->text(), QStringLiteral("Glaze"));
  EXPECT_EQ(edit2->text(), QStringLiteral("Glaze"));
  EXPECT_EQ(store::readPassword(dir_.path()).password, QStringLiteral("Glaze"));

  // Cancel: the password field and the new-password field are emptied, the
  // repeat field keeps its text.
  type(field, QStringLiteral("Glaze"));
  QTest::mouseClick(child<QPushButton>(*d, "Button1"), Qt::LeftButton);
  ASSERT_TRUE(panel2->isVisible());
  QTest::mouseClick(child<QPushButton>(*d, "Button3"), Qt::LeftButton);
  EXPECT_FALSE(panel2->isVisible());
  EXPECT_TRUE(field->text().isEmpty());
  EXPECT_TRUE(edit1->text().isEmpty());
  EXPECT_EQ(edit2->text(), QStringLiteral("Glaze"));

  // The next start asks for the new password.
  auto next = create();
  type(child<QLineEdit>(*next, "Password"), QStringLiteral("Glaze"));
  QTest::mouseClick(child<QPushButton>(*next, "OKBtn"), Qt::LeftButton);
  EXPECT_EQ(next->result(), QDialog::Accepted);
}

TEST_F(PasswordDialog, ChangeToEmptyShowsTheLabelAgain) {
  ASSERT_TRUE(store::writePassword(dir_.path(), QStringLiteral("k")));
  auto d = create();
  auto* label = child<QLabel>(*d, "Label2");
  EXPECT_FALSE(label->isVisible());
  type(child<QLineEdit>(*d, "Password"), QStringLiteral("k"));
  QTest::mouseClick(child<QPushButton>(*d, "Button1"), Qt::LeftButton);
  QTest::mouseClick(child<QPushButton>(*d, "Button2"), Qt::LeftButton);
  EXPECT_EQ(texts(), QStringList{QStringLiteral("密码修改成功！")});
  EXPECT_TRUE(label->isVisible());
  QTest::mouseClick(child<QPushButton>(*d, "OKBtn"), Qt::LeftButton);
  EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(PasswordDialog, EscapeAndQuitEndTheProgram) {
  {
    auto d = create();
    QTest::mouseClick(child<QPushButton>(*d, "CancelBtn"), Qt::LeftButton);
    EXPECT_TRUE(d->ended());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
  }
  {
    // Escape while the change panel is open.
    auto d = create();
    QTest::mouseClick(child<QPushButton>(*d, "Button1"), Qt::LeftButton);
    auto* edit1 = child<QLineEdit>(*d, "Edit1");
    type(edit1, QStringLiteral("abc"));
    QTest::keyClick(edit1, Qt::Key_Escape);
    EXPECT_TRUE(d->ended());
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(QFile::exists(store::passwordFile(dir_.path())));
  }
  {
    // Closing the window by other means is leaving too, never entering.
    auto d = create();
    d->close();
    EXPECT_TRUE(d->ended());
    EXPECT_EQ(d->result(), QDialog::Rejected);
  }
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordDialog, LargeFontAdvisoryAtCreation) {
  prompter_.buttons = {app::Button::No};
  auto d = create(120);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].caption, QStringLiteral("提示"));
  EXPECT_EQ(prompter_.messages[0].icon, app::Icon::Question);
}

TEST_F(PasswordDialog, NothingBehindTakesInputWhileShown) {
  ui::TMainForm frame;
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  auto* exitAction = frame.findChild<QAction*>(QStringLiteral("TBExit"));
  ASSERT_NE(exitAction, nullptr);
  QWidget* exitButton = frame.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->widgetForAction(exitAction);
  ASSERT_NE(exitButton, nullptr);
  const QPoint exitAt = exitButton->mapTo(&frame, exitButton->rect().center());

  TPasswordDlg dlg(dir_.path(), &prompter_, [] { return 96; });
  bool frameStayedOpen = false;
  bool modal = false;
  QTimer::singleShot(0, &dlg, [&] {
    modal = QApplication::activeModalWidget() == &dlg;
    // A click on the frame's exit button, as the window system delivers it.
    QTest::mouseClick(frame.windowHandle(), Qt::LeftButton, Qt::NoModifier, exitAt);
    QTest::keyClick(frame.windowHandle(), Qt::Key_Escape);
    frameStayedOpen = frame.isVisible() && dlg.isVisible();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
  });
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  EXPECT_TRUE(modal);
  EXPECT_TRUE(frameStayedOpen);
  // Once the password is accepted the frame takes input again.
  QTest::mouseClick(frame.windowHandle(), Qt::LeftButton, Qt::NoModifier, exitAt);
  EXPECT_FALSE(frame.isVisible());
}
