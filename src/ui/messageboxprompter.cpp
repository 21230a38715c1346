#include "messageboxprompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tessaro::ui {

namespace {

QMessageBox::StandardButton standardButton(app::Button b) {
  switch (b) {
    case app::Button::Ok: return QMessageBox::Ok;
    case app::Button::Cancel: return QMessageBox::Cancel;
    case app::Button::Yes: return QMessageBox::Yes;
    case app::Button::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(app::Icon icon) {
  switch (icon) {
    case app::Icon::None: return QMessageBox::NoIcon;
    case app::Icon::Information: return QMessageBox::Information;
    case app::Icon::Warning: return QMessageBox::Warning;
    case app::Icon::Question: return QMessageBox::Question;
    case app::Icon::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// The captions of the buttons in the program's language, as the system's
// own message boxes show them.
QString buttonCaption(app::Button b) {
  switch (b) {
    case app::Button::Ok: return QStringLiteral("确定");
    case app::Button::Cancel: return QStringLiteral("取消");
    case app::Button::Yes: return QStringLiteral("是(&Y)");
    case app::Button::No: return QStringLiteral("否(&N)");
  }
  return QString();
}

// A carriage return breaks the line in the message texts.
QString withLineBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(app::kCR, QLatin1Char('\n'));
  return text;
}

}  // namespace

app::Button MessageBoxPrompter::message(const app::Message& m) {
  QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
  QMessageBox box(messageIcon(m.icon), m.caption, withLineBreaks(m.text), QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  const QList<app::Button> buttons = m.buttons.isEmpty() ? QList<app::Button>{app::Button::Ok} : m.buttons;
  for (app::Button b : buttons) box.addButton(standardButton(b))->setText(buttonCaption(b));
  box.setDefaultButton(standardButton(buttons.contains(m.defaultButton) ? m.defaultButton : buttons.front()));
  const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
  for (app::Button b : buttons) {
    if (standardButton(b) == pressed) return b;
  }
  // Closed without a button (Escape on a box without a cancel button).
  if (buttons.contains(app::Button::Cancel)) return app::Button::Cancel;
  if (buttons.contains(app::Button::No)) return app::Button::No;
  return buttons.front();
}

std::optional<QString> MessageBoxPrompter::inputBox(const QString& caption, const QString& prompt,
                                                    const QString& initialText) {
  QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
  bool ok = false;
  const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initialText, &ok);
  if (!ok) return std::nullopt;
  return text;
}

}  // namespace tessaro::ui
