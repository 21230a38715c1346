// A Prompter for tests: records every message box and input box and answers
// from a script; without a scripted answer a message gets its default button
// and an input box is cancelled.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/prompter.h"

namespace tessaro::test {

class ScriptedPrompter : public app::Prompter {
 public:
  struct Input {
    QString caption;
    QString prompt;
    QString initial;
  };

  std::vector<app::Message> messages;
  std::vector<Input> inputs;
  std::deque<app::Button> buttons;                 // answers for the coming messages
  std::deque<std::optional<QString>> answers;     // answers for the coming input boxes
  std::function<void()> onPrompt;                 // called as each box comes up, before it is recorded

  app::Button message(const app::Message& m) override {
    if (onPrompt) onPrompt();
    messages.push_back(m);
    if (buttons.empty()) return m.defaultButton;
    const app::Button b = buttons.front();
    buttons.pop_front();
    return b;
  }

  std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initial) override {
    if (onPrompt) onPrompt();
    inputs.push_back({caption, prompt, initial});
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }

  QStringList texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
  }

  void clear() {
    messages.clear();
    inputs.clear();
  }
};

}  // namespace tessaro::test
