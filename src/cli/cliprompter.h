// The Prompter of tessaro-cli: every message box is printed to standard error
// as "[caption] text" and answered with its default button; input boxes take
// the answers given on the command line, in order, and are cancelled when
// none is left.
#pragma once

#include <QStringList>
#include <QTextStream>

#include "app/prompter.h"

namespace tessaro::cli {

class CliPrompter : public app::Prompter {
 public:
  explicit CliPrompter(QTextStream& err) : err_(err) {}

  // Answers for the coming input boxes.
  void setAnswers(const QStringList& answers) { answers_ = answers; }
  // Questions with an OK button are answered OK instead of their default
  // (the command line itself is the person's confirmation).
  void setConfirm(bool on) { confirm_ = on; }

  app::Button message(const app::Message& m) override {
    QString text = m.text;
    text.replace(app::kCR, QLatin1Char('\n'));
    err_ << "[" << m.caption << "] " << text << "\n";
    err_.flush();
    if (confirm_ && m.icon == app::Icon::Question && m.buttons.contains(app::Button::Ok)) return app::Button::Ok;
    return m.defaultButton;
  }

  std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initial) override {
    err_ << "[" << caption << "] " << prompt << " " << initial << "\n";
    if (answers_.isEmpty()) {
      err_ << "  -> (cancelled)\n";
      err_.flush();
      return std::nullopt;
    }
    const QString answer = answers_.takeFirst();
    err_ << "  -> " << answer << "\n";
    err_.flush();
    return answer;
  }

 private:
  QTextStream& err_;
  QStringList answers_;
  bool confirm_ = false;
};

}  // namespace tessaro::cli
