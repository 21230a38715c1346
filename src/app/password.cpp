#include "password.h"

#include <utility>

#include "store/password.h"

namespace tessaro::app {

PasswordCheck::PasswordCheck(QString dataFolder, Prompter& prompter, std::function<int()> logicalDpi)
    : dataFolder_(std::move(dataFolder)), prompter_(prompter), logicalDpi_(std::move(logicalDpi)) {}

Button PasswordCheck::wrongPassword() {
  return prompter_.message(
      {MessageKind::Typed, kWarningCaption, Icon::Warning, kWrongPasswordText, {Button::Yes}, Button::Yes});
}

Button PasswordCheck::informationYes(const QString& text) {
  return prompter_.message(
      {MessageKind::Typed, kInformationCaption, Icon::Information, text, {Button::Yes}, Button::Yes});
}

void PasswordCheck::start() {
  if (logicalDpi_ && logicalDpi_() == kLargeFontDpi) {
    const Button answer = prompter_.message({MessageKind::Captioned, kLargeFontCaption, Icon::Question, kLargeFontText,
                                             {Button::Yes, Button::No}, Button::Yes});
    if (answer == Button::Yes) {
      prompter_.message({MessageKind::Captioned, kLargeFontHelpCaption, Icon::Information, kLargeFontHelpText,
                         {Button::Ok}, Button::Ok});
    }
  }

  const auto read = store::readPassword(dataFolder_);
  stored_ = read.valueOr(QString());
  if (!read) prompter_.warning(read.error() + kCR + kEmptyPasswordAppliesText);
  // Only ever shown here; a change hides it before this routine runs again.
  if (stored_.isEmpty()) emptyLabelVisible_ = true;
}

void PasswordCheck::enter() {
  if (state_ == State::Closed || state_ == State::Ended) return;
  if (password == stored_) {
    state_ = State::Closed;
  } else {
    wrongPassword();
  }
  password.clear();
}

void PasswordCheck::quit() { state_ = State::Ended; }

void PasswordCheck::beginChange() {
  if (state_ != State::Asking) return;
  if (password != stored_) {
    wrongPassword();
    password.clear();
    return;
  }
  state_ = State::Changing;
}

void PasswordCheck::confirmChange() {
  if (state_ != State::Changing) return;
  if (newPassword != repeatPassword) {
    informationYes(kEntriesDifferText);
    return;
  }
  const auto written = store::writePassword(dataFolder_, newPassword);
  if (!written) {
    prompter_.error(written.error() + kCR + kOldPasswordValidText);
    return;
  }
  informationYes(kPasswordChangedText);
  emptyLabelVisible_ = false;
  start();
  state_ = State::Asking;
  password.clear();
}

void PasswordCheck::cancelChange() {
  if (state_ != State::Changing) return;
  state_ = State::Asking;
  password.clear();
  newPassword.clear();
}

}  // namespace tessaro::app
