// What the main screen's view shows besides the tables: the inputs of the
// frame, the captions of its buttons, and which grids are shown.
// The main screen's commands change it; the view reads it.
#pragma once

#include <QString>

namespace tessaro::app {

// Captions and texts of the main screen's buttons.
inline const QString kCompactOffCaption = QStringLiteral("精简显示");
inline const QString kCompactOnCaption = QStringLiteral("全部显示");
inline const QString kMergeCaption = QStringLiteral("K/Na合并");
inline const QString kSplitCaption = QStringLiteral("K/Na拆分");
inline const QString kMandatoryMark = QStringLiteral("选");

struct ScreenState {
  // Inputs of the frame: the allowed average error rate as typed, and whether
  // the calculation shows its error reports.
  QString allowedText = QStringLiteral("1");
  bool showDetails = false;
  // Decimals of the proportions: 0, 1 or 2.
  int precision = 2;
  QString kNaCaption = kMergeCaption;
  QString compactCaption = kCompactOffCaption;
  bool resultVisible = false;
  bool propertyVisible = false;
  // 0: NUM1 and NUM2 in their normal colour; 1 or 2: that column marks the
  // verified formula.
  int verifiedColumn = 0;

  bool kNaMerged() const { return kNaCaption == kSplitCaption; }
  bool compactDisplay() const { return compactCaption == kCompactOnCaption; }
};

}  // namespace tessaro::app
