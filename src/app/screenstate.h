// What the main screen's view shows besides the tables: the inputs of the
// frame, the captions and colours of its buttons, and which grids are shown.
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

// Colours the view uses for the state below.
struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kProportionColour{255, 210, 255};  // NUM1, NUM2 normally
inline constexpr Rgb kVerifiedColour{255, 155, 155};    // NUM of the verified formula
inline constexpr Rgb kMandatoryRowColour{200, 200, 255};

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
  // Height in pixels the property panel is given (36 per row after the first).
  int propertyPanelHeight = 216;

  bool kNaMerged() const { return kNaCaption == kSplitCaption; }
  bool compactDisplay() const { return compactCaption == kCompactOnCaption; }
};

}  // namespace tessaro::app
