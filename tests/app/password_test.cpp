#include "app/password.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/scripted_prompter.h"
#include "store/password.h"

using namespace tessaro;
using app::Button;
using app::Icon;
using app::MessageKind;
using State = app::PasswordCheck::State;

namespace {

const app::Message kWrong{MessageKind::Typed, app::kWarningCaption, Icon::Warning, QStringLiteral("密码错误，重新输入！"),
                          {Button::Yes}, Button::Yes};
const app::Message kDiffer{MessageKind::Typed, app::kInformationCaption, Icon::Information, QStringLiteral("密码有误！"),
                           {Button::Yes}, Button::Yes};
const app::Message kChanged{MessageKind::Typed, app::kInformationCaption, Icon::Information,
                            QStringLiteral("密码修改成功！"), {Button::Yes}, Button::Yes};

class PasswordCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  // A dialog as created at start-up.
  std::unique_ptr<app::PasswordCheck> start(int dpi = 96) {
    dpi_ = dpi;
    auto check = std::make_unique<app::PasswordCheck>(dir_.path(), prompter_, [this] { return dpi_; });
    check->FormCreate();
    return check;
  }

  void store(const QString& p) { ASSERT_TRUE(store::writePassword(dir_.path(), p)); }

  // Changes the password through the dialog, from the asking state.
  void change(app::PasswordCheck& c, const QString& current, const QString& next) {
    c.password = current;
    c.Button1Click();
    ASSERT_EQ(c.state(), State::Changing);
    c.newPassword = next;
    c.repeatPassword = next;
    c.Button2Click();
  }

  QTemporaryDir dir_;
  test::ScriptedPrompter prompter_;
  int dpi_ = 96;
};

}  // namespace

TEST_F(PasswordCheckTest, NeverSetPasswordShowsTheLabelAndAcceptsTheEmptyField) {
  auto c = start();
  EXPECT_TRUE(c->emptyLabelVisible());
  EXPECT_TRUE(c->storedPassword().isEmpty());
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Closed);
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordCheckTest, OnlyTheExactPasswordIsAccepted) {
  store(QStringLiteral("Kiln "));
  auto c = start();
  EXPECT_FALSE(c->emptyLabelVisible());
  // Letter case, the missing trailing space, a leading space, the empty field.
  for (const QString& attempt : {QStringLiteral("kiln "), QStringLiteral("Kiln"), QStringLiteral(" Kiln "), QString()}) {
    prompter_.clear();
    c->password = attempt;
    c->OKBtnClick();
    EXPECT_EQ(c->state(), State::Asking) << attempt.toStdString();
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0], kWrong);
    EXPECT_TRUE(c->password.isEmpty());
  }
  c->password = QStringLiteral("Kiln ");
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Closed);
  EXPECT_TRUE(c->password.isEmpty());
}

TEST_F(PasswordCheckTest, ChangingNeedsTheCurrentPassword) {
  store(QStringLiteral("abc"));
  auto c = start();
  c->password = QStringLiteral("ABC");
  c->Button1Click();
  EXPECT_EQ(c->state(), State::Asking);
  EXPECT_FALSE(c->changePanelVisible());
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0], kWrong);
  EXPECT_TRUE(c->password.isEmpty());

  c->password = QStringLiteral("abc");
  c->Button1Click();
  EXPECT_TRUE(c->changePanelVisible());
  EXPECT_EQ(c->password, QStringLiteral("abc"));
}

TEST_F(PasswordCheckTest, DifferingEntriesStoreNothing) {
  auto c = start();
  c->Button1Click();
  c->newPassword = QStringLiteral("glaze");
  c->repeatPassword = QStringLiteral("Glaze");
  c->Button2Click();
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0], kDiffer);
  EXPECT_EQ(c->state(), State::Changing);
  EXPECT_EQ(c->newPassword, QStringLiteral("glaze"));
  EXPECT_FALSE(QFile::exists(QDir(dir_.path()).filePath(store::kPasswordFileName)));
  EXPECT_TRUE(c->storedPassword().isEmpty());
}

TEST_F(PasswordCheckTest, NewPasswordHoldsNowAndAtTheNextStart) {
  auto c = start();
  change(*c, QString(), QStringLiteral("Body1 "));
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0], kChanged);
  EXPECT_EQ(c->state(), State::Asking);
  EXPECT_FALSE(c->emptyLabelVisible());
  EXPECT_EQ(c->storedPassword(), QStringLiteral("Body1 "));
  // The password field is emptied; the two new-password fields keep their text.
  EXPECT_TRUE(c->password.isEmpty());
  EXPECT_EQ(c->newPassword, QStringLiteral("Body1 "));
  EXPECT_EQ(c->repeatPassword, QStringLiteral("Body1 "));

  c->password = QString();
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Asking);
  c->password = QStringLiteral("Body1");
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Asking);
  c->password = QStringLiteral("Body1 ");
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Closed);

  prompter_.clear();
  auto next = start();
  EXPECT_FALSE(next->emptyLabelVisible());
  next->password = QString();
  next->OKBtnClick();
  EXPECT_EQ(next->state(), State::Asking);
  next->password = QStringLiteral("Body1 ");
  next->OKBtnClick();
  EXPECT_EQ(next->state(), State::Closed);
}

TEST_F(PasswordCheckTest, ChangeToTheEmptyPasswordShowsTheLabelAgain) {
  store(QStringLiteral("x"));
  auto c = start();
  EXPECT_FALSE(c->emptyLabelVisible());
  change(*c, QStringLiteral("x"), QString());
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0], kChanged);
  EXPECT_TRUE(c->emptyLabelVisible());
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Closed);
  EXPECT_TRUE(start()->emptyLabelVisible());
}

TEST_F(PasswordCheckTest, CancelEmptiesThePasswordAndNewFieldsOnly) {
  auto c = start();
  c->Button1Click();
  c->newPassword = QStringLiteral("one");
  c->repeatPassword = QStringLiteral("two");
  c->Button3Click();
  EXPECT_EQ(c->state(), State::Asking);
  EXPECT_TRUE(c->password.isEmpty());
  EXPECT_TRUE(c->newPassword.isEmpty());
  EXPECT_EQ(c->repeatPassword, QStringLiteral("two"));
  EXPECT_TRUE(prompter_.messages.empty());
  EXPECT_TRUE(c->storedPassword().isEmpty());
}

TEST_F(PasswordCheckTest, QuitEndsFromEveryState) {
  auto c = start();
  c->CancelBtnClick();
  EXPECT_EQ(c->state(), State::Ended);
  auto d = start();
  d->Button1Click();
  d->CancelBtnClick();
  EXPECT_EQ(d->state(), State::Ended);
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(PasswordCheckTest, LargeFontAdvisoryAtEachCreation) {
  const app::Message advisory{MessageKind::Captioned, QStringLiteral("提示"), Icon::Question,
                              QStringLiteral("您所设置的显示字体为大字体，将会影响正常显示。\r建议改为小字体。\r\r接受帮助？"),
                              {Button::Yes, Button::No}, Button::Yes};
  const app::Message help{MessageKind::Captioned, QStringLiteral("帮助"), Icon::Information,
                          QStringLiteral("从桌面空白处点鼠标右键，点“属性”，\r点“设置”，点“高级”。从“显示字体\r"
                                         "大小”栏中将“大字体”改成“小字体”。"),
                          {Button::Ok}, Button::Ok};
  start(96);
  start(144);
  EXPECT_TRUE(prompter_.messages.empty());

  prompter_.buttons = {Button::No};
  auto c = start(120);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0], advisory);

  // Yes brings the help box; the creation routine after a change asks again.
  prompter_.clear();
  prompter_.buttons = {Button::Yes, Button::Yes, Button::Ok};
  change(*c, QString(), QStringLiteral("p"));
  ASSERT_EQ(prompter_.messages.size(), 3u);
  EXPECT_EQ(prompter_.messages[0], kChanged);
  EXPECT_EQ(prompter_.messages[1], advisory);
  EXPECT_EQ(prompter_.messages[2], help);
  EXPECT_EQ(c->storedPassword(), QStringLiteral("p"));
}

TEST_F(PasswordCheckTest, UnreadableFileIsTheEmptyPasswordAndSaysSo) {
  const QString file = QDir(dir_.path()).filePath(store::kPasswordFileName);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("\xFF\xFE\xFD");
  f.close();
  auto c = start();
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].icon, Icon::Warning);
  EXPECT_TRUE(prompter_.messages[0].text.contains(QDir::toNativeSeparators(file)));
  EXPECT_TRUE(c->emptyLabelVisible());
  c->OKBtnClick();
  EXPECT_EQ(c->state(), State::Closed);
}

TEST_F(PasswordCheckTest, FailedWriteKeepsTheOldPasswordAndSaysSo) {
  // The data folder is a sub-folder that disappears while the dialog is open.
  const QString data = QDir(dir_.path()).filePath(QStringLiteral("数据库"));
  ASSERT_TRUE(QDir().mkpath(data));
  ASSERT_TRUE(store::writePassword(data, QStringLiteral("old")));
  app::PasswordCheck c(data, prompter_, [] { return 96; });
  c.FormCreate();
  c.password = QStringLiteral("old");
  c.Button1Click();
  ASSERT_TRUE(QDir(data).removeRecursively());
  c.newPassword = c.repeatPassword = QStringLiteral("new");
  c.Button2Click();
  ASSERT_EQ(prompter_.messages.size(), 1u);
  const app::Message& m = prompter_.messages[0];
  EXPECT_EQ(m.icon, Icon::Error);
  EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(QDir(data).filePath(store::kPasswordFileName))));
  EXPECT_TRUE(m.text.endsWith(QStringLiteral("原密码仍然有效。")));
  EXPECT_EQ(c.state(), State::Changing);
  EXPECT_EQ(c.storedPassword(), QStringLiteral("old"));
  c.Button3Click();
  c.password = QStringLiteral("new");
  c.OKBtnClick();
  EXPECT_EQ(c.state(), State::Asking);
  c.password = QStringLiteral("old");
  c.OKBtnClick();
  EXPECT_EQ(c.state(), State::Closed);
}
