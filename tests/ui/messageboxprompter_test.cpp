#include "ui/messageboxprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "modal_watchdog.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(MessageBoxPrompter, ShowsTheMessageAndReturnsTheButtonPressed) {
  ui::MessageBoxPrompter prompter;
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList captions;
  QString defaultCaption;
  test::ModalWatchdog watchdog;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;  // the watchdog ends whatever is open
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    for (QAbstractButton* b : box->buttons()) captions << b->text();
    defaultCaption = box->defaultButton() ? box->defaultButton()->text() : QString();
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == QStringLiteral("否(&N)")) b->click();
    }
  });
  const app::Button pressed =
      prompter.message({app::MessageKind::Captioned, QStringLiteral("提示"), app::Icon::Question,
                        QStringLiteral("一\r二"), {app::Button::Yes, app::Button::No}, app::Button::Yes});
  ASSERT_FALSE(watchdog.fired()) << "the message box was not shown or not answered";
  EXPECT_EQ(pressed, app::Button::No);
  EXPECT_EQ(text, QStringLiteral("一\n二"));
  EXPECT_EQ(title, QStringLiteral("提示"));
  EXPECT_EQ(icon, QMessageBox::Question);
  captions.sort();
  EXPECT_EQ(captions, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
  EXPECT_EQ(defaultCaption, QStringLiteral("是(&Y)"));
}
