// The Prompter of the windows: message boxes and input boxes as Qt dialogs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/prompter.h"

namespace tessaro::ui {

class MessageBoxPrompter : public app::Prompter {
 public:
  // The boxes open over `parent` (over the active window when null).
  explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}

  app::Button message(const app::Message& message) override;
  std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initialText) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessaro::ui
