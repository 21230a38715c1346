// The messages of the password check and its failures; the flows through the
// dialog are tested with the dialog itself.
#include "app/password.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/scripted_prompter.h"
#include "store/password.h"

using namespace tessaro;
using app::Button;
using app::Icon;
using app::Message;
using app::MessageKind;
using State = app::PasswordCheck::State;

namespace {

Message yesBox(const QString& caption, Icon icon, const QString& text) {
  return {MessageKind::Typed, caption, icon, text, {Button::Yes}, Button::Yes};
}
const Message kWrong = yesBox(app::kWarningCaption, Icon::Warning, QStringLiteral("密码错误，重新输入！"));
const Message kDiffer = yesBox(app::kInformationCaption, Icon::Information, QStringLiteral("密码有误！"));
const Message kChanged = yesBox(app::kInformationCaption, Icon::Information, QStringLiteral("密码修改成功！"));

class PasswordCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    data_ = QDir(dir_.path()).filePath(QStringLiteral("数据库"));
    ASSERT_TRUE(QDir().mkpath(data_));
  }

  std::unique_ptr<app::PasswordCheck> start(int dpi = 96) {
    auto check = std::make_unique<app::PasswordCheck>(data_, prompter_, [dpi] { return dpi; });
    check->start();
    return check;
  }

  QString file() const { return QDir::toNativeSeparators(QDir(data_).filePath(store::kPasswordFileName)); }

  QTemporaryDir dir_;
  QString data_;
  test::ScriptedPrompter prompter_;
};

}  // namespace

TEST_F(PasswordCheckTest, MessagesOfWrongPasswordsAndOfTheChange) {
  ASSERT_TRUE(store::writePassword(data_, QStringLiteral("Kiln ")));
  auto c = start();
  c->password = QStringLiteral("Kiln");
  c->enter();
  c->password = QStringLiteral("kiln ");
  c->beginChange();
  EXPECT_EQ(prompter_.messages, (std::vector<Message>{kWrong, kWrong}));
  EXPECT_EQ(c->state(), State::Asking);

  prompter_.clear();
  c->password = QStringLiteral("Kiln ");
  c->beginChange();
  c->newPassword = QStringLiteral("glaze");
  c->repeatPassword = QStringLiteral("Glaze");
  c->confirmChange();
  EXPECT_EQ(c->state(), State::Changing);
  EXPECT_EQ(c->storedPassword(), QStringLiteral("Kiln "));
  c->repeatPassword = QStringLiteral("glaze");
  c->confirmChange();
  EXPECT_EQ(prompter_.messages, (std::vector<Message>{kDiffer, kChanged}));
  EXPECT_EQ(c->storedPassword(), QStringLiteral("glaze"));
}

TEST_F(PasswordCheckTest, LargeFontAdvisoryAtEachCreation) {
  const Message advisory{MessageKind::Captioned, QStringLiteral("提示"), Icon::Question,
                         QStringLiteral("您所设置的显示字体为大字体，将会影响正常显示。\r建议改为小字体。\r\r接受帮助？"),
                         {Button::Yes, Button::No}, Button::Yes};
  const Message help{MessageKind::Captioned, QStringLiteral("帮助"), Icon::Information,
                     QStringLiteral("从桌面空白处点鼠标右键，点“属性”，\r点“设置”，点“高级”。从“显示字体\r"
                                    "大小”栏中将“大字体”改成“小字体”。"),
                     {Button::Ok}, Button::Ok};
  start(96);
  start(144);
  EXPECT_TRUE(prompter_.messages.empty());

  prompter_.buttons = {Button::No};
  auto c = start(120);
  EXPECT_EQ(prompter_.messages, std::vector<Message>{advisory});

  // Yes brings the help box; the creation routine after a change asks again.
  prompter_.clear();
  prompter_.buttons = {Button::Yes, Button::Yes, Button::Ok};
  c->beginChange();
  c->confirmChange();
  EXPECT_EQ(prompter_.messages, (std::vector<Message>{kChanged, advisory, help}));
}

TEST_F(PasswordCheckTest, UnreadableFileIsTheEmptyPasswordAndSaysSo) {
  QFile f(file());
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("\xFF\xFE\xFD");
  f.close();
  auto c = start();
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].icon, Icon::Warning);
  EXPECT_TRUE(prompter_.messages[0].text.contains(file())) << prompter_.messages[0].text.toStdString();
  EXPECT_TRUE(c->emptyLabelVisible());
  c->enter();
  EXPECT_EQ(c->state(), State::Closed);
}

TEST_F(PasswordCheckTest, FailedWriteKeepsTheOldPasswordAndSaysSo) {
  ASSERT_TRUE(store::writePassword(data_, QStringLiteral("old")));
  auto c = start();
  c->password = QStringLiteral("old");
  c->beginChange();
  // The data folder disappears while the dialog is open.
  ASSERT_TRUE(QDir(data_).removeRecursively());
  c->newPassword = c->repeatPassword = QStringLiteral("new");
  c->confirmChange();
  ASSERT_EQ(prompter_.messages.size(), 1u);
  const Message& m = prompter_.messages[0];
  EXPECT_EQ(m.icon, Icon::Error);
  EXPECT_TRUE(m.text.contains(file())) << m.text.toStdString();
  EXPECT_TRUE(m.text.endsWith(QStringLiteral("原密码仍然有效。")));
  EXPECT_EQ(c->state(), State::Changing);
  EXPECT_EQ(c->storedPassword(), QStringLiteral("old"));
  c->cancelChange();
  c->password = QStringLiteral("new");
  c->enter();
  EXPECT_EQ(c->state(), State::Asking);
  c->password = QStringLiteral("old");
  c->enter();
  EXPECT_EQ(c->state(), State::Closed);
}
