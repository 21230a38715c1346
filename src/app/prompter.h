// How the windows' logic speaks to the person: message boxes and input boxes.
// The windows implement it with dialogs, the command-line program prints to
// standard error, the tests answer from a script.
#pragma once

#include <QString>
#include <QList>

#include <optional>

namespace tessaro::app {

// Line break inside a message text: one carriage return.
inline constexpr QChar kCR = QChar(u'\r');
// Said after a refusal for a table that is damaged or cannot be written.
inline const QString kNotRunText = QStringLiteral("命令没有执行，各数据表都没有改动。");

// The three kinds of message box: a typed box whose caption and icon follow
// its type, a box with a caption of the program's own, a plain box without icon.
enum class MessageKind { Typed, Captioned, Plain };

enum class Icon { None, Information, Warning, Question, Error };

enum class Button { Ok, Cancel, Yes, No };

struct Message {
  MessageKind kind = MessageKind::Typed;
  QString caption;
  Icon icon = Icon::None;
  QString text;  // lines separated by kCR
  QList<Button> buttons{Button::Ok};
  Button defaultButton = Button::Ok;
  bool operator==(const Message&) const = default;
};

// Captions of the typed boxes.
inline const QString kInformationCaption = QStringLiteral("信息");
inline const QString kWarningCaption = QStringLiteral("警告");
inline const QString kConfirmCaption = QStringLiteral("确认");
inline const QString kErrorCaption = QStringLiteral("错误");
// Caption of a plain box: the program's name.
inline const QString kPlainCaption = QStringLiteral("Tessaro");

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button pressed.
  virtual Button message(const Message& message) = 0;
  // Asks for a text; no value when the person cancels.
  virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initialText) = 0;

  // Shorthands for the common boxes.
  Button information(const QString& text) {
    return message({MessageKind::Typed, kInformationCaption, Icon::Information, text, {Button::Ok}, Button::Ok});
  }
  Button warning(const QString& text) {
    return message({MessageKind::Typed, kWarningCaption, Icon::Warning, text, {Button::Ok}, Button::Ok});
  }
  Button error(const QString& text) {
    return message({MessageKind::Typed, kErrorCaption, Icon::Error, text, {Button::Ok}, Button::Ok});
  }
  Button plain(const QString& text) {
    return message({MessageKind::Plain, kPlainCaption, Icon::None, text, {Button::Ok}, Button::Ok});
  }
};

}  // namespace tessaro::app
