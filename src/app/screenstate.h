// What the main screen's view shows besides the tables: the inputs of the
// frame, the captions of its buttons, and which grids are shown.
// The main screen's commands change it; the view observes it, so that the
// screen follows a command step by step and every box a command shows
// stands over the screen as that step left it.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <utility>

#include "app/prompter.h"

namespace tessaro::app {

// Captions and texts of the main screen's buttons.
inline const QString kCompactOffCaption = QStringLiteral("精简显示");
inline const QString kCompactOnCaption = QStringLiteral("全部显示");
inline const QString kMergeCaption = QStringLiteral("K/Na合并");
inline const QString kSplitCaption = QStringLiteral("K/Na拆分");
inline const QString kMandatoryMark = QStringLiteral("选");

class ScreenState {
 public:
  // Inputs of the frame: the allowed average error rate as typed, and whether
  // the calculation shows its error reports.
  QString allowedText = QStringLiteral("1");
  bool showDetails = false;

  // Decimals of the proportions: 0, 1 or 2.
  int precision() const { return precision_; }
  QString kNaCaption() const { return kNaCaption_; }
  QString compactCaption() const { return compactCaption_; }
  bool resultVisible() const { return resultVisible_; }
  bool propertyVisible() const { return propertyVisible_; }
  // 0: NUM1 and NUM2 in their normal colour; 1 or 2: that column marks the
  // verified formula.
  int verifiedColumn() const { return verifiedColumn_; }
  bool kNaMerged() const { return kNaCaption_ == kSplitCaption; }
  bool compactDisplay() const { return compactCaption_ == kCompactOnCaption; }

  // Each change tells the observer.
  void setPrecision(int decimals) { set(precision_, decimals); }
  void setKNaMerged(bool merged) { set(kNaCaption_, merged ? kSplitCaption : kMergeCaption); }
  void setCompactDisplay(bool on) { set(compactCaption_, on ? kCompactOnCaption : kCompactOffCaption); }
  void setResultVisible(bool on) { set(resultVisible_, on); }
  void setPropertyVisible(bool on) { set(propertyVisible_, on); }
  void setVerifiedColumn(int formula) { set(verifiedColumn_, formula); }

  // The view's one observer (an empty function: none). It is called after
  // each change of this state, after each change of the grids' titles, and
  // before each box a command shows, when the grids must show the rows the
  // command has written so far.
  void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  // Something the screen shows besides this state changed (the titles, or
  // the rows of the tables): the view catches up now.
  void changed() const {
    if (observer_) observer_();
  }

 private:
  template <typename T>
  void set(T& field, T value) {
    if (field == value) return;
    field = std::move(value);
    changed();
  }

  int precision_ = 2;
  QString kNaCaption_ = kMergeCaption;
  QString compactCaption_ = kCompactOffCaption;
  bool resultVisible_ = false;
  bool propertyVisible_ = false;
  int verifiedColumn_ = 0;
  std::function<void()> observer_;
};

// The Prompter of the main screen's commands: before each box it passes on,
// the view catches up with the screen's state and the tables' rows, so that
// no box stands over a screen that an earlier step has left behind.
class ScreenPrompter : public Prompter {
 public:
  ScreenPrompter(Prompter& prompter, const ScreenState& state) : prompter_(prompter), state_(state) {}

  Button message(const Message& m) override {
    state_.changed();
    return prompter_.message(m);
  }
  std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initialText) override {
    state_.changed();
    return prompter_.inputBox(caption, prompt, initialText);
  }

 private:
  Prompter& prompter_;
  const ScreenState& state_;
};

}  // namespace tessaro::app
