// The batch sheet (配料单) of the result formulas: the user's batch weight
// and water content checked, the sheet built from the formula table's raw
// proportions and prices, its display texts, and its CSV file.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "app/fitinputs.h"
#include "core/batch.h"

namespace tessaro::app {

// The largest batch accepted, in kg of dry material (100 t): more than any
// mill or blunger holds, so a larger figure is a typing slip.
inline constexpr double kMaxBatchKg = 100000;

// What the user asks for: the dry batch weight in kg and the water content
// in per cent of the wet slip.
struct BatchRequest {
  double weightKg = 100;
  double waterPercent = 0;
};

// Reads the typed batch weight and water content. No value, with one
// sentence naming the field in `error`, when a text is empty or not a
// number, the weight is not above 0 kg or above kMaxBatchKg, or the water
// content is below 0 % or not below 100 %.
std::optional<BatchRequest> parseBatchRequest(const QString& weightText, const QString& waterText, QString* error);

struct BatchSheet {
  BatchRequest request;
  QString target;  // the target's name; empty when the target table is empty
  // Formula 1 and 2, those of them that the result table holds, in that
  // order. A formula whose proportions are all 0 has no lines.
  std::vector<core::BatchFormula> formulas;
};

// The sheet of the result formulas for `request`. No value, with a sentence
// in `error`, when the result table holds neither formula.
std::optional<BatchSheet> makeBatchSheet(const FitInputs& inputs, const BatchRequest& request, QString* error);

// Display texts, with a decimal point whatever the locale and no padding:
// kg to 0.001 kg, money to 0.01 元, proportions to 0.01 %, prices to 0.01 元/吨.
QString batchKgText(double kg);
QString batchCostText(double yuan);
QString batchPercentText(double percent);
QString batchPriceText(double yuanPerTonne);

// A row of the sheet as the window and the printed sheet show it: the
// material's name, proportion, weight, unit price and amount, or a total
// (bold) with the figures it has.
struct BatchRow {
  std::array<QString, 5> cells;
  bool total = false;
};
// The rows of one formula: a row per raw material (or one saying there are
// no proportions), then 干料合计, 加水, 浆料合计 and 成本.
std::vector<BatchRow> batchRows(const core::BatchFormula& formula);

// The sheet as CSV: UTF-8 with a byte-order mark, CRLF line ends, a header
// row, a row per raw material of each formula, then the formula's totals
// (干料合计, 水, 浆料合计, 合计金额). Fields holding a comma, a quote or a
// line break are quoted.
QByteArray batchCsv(const BatchSheet& sheet);

// Writes batchCsv(sheet) to `path`, replacing the file only once the whole
// text is written. False, with a sentence naming the file in `error`, when
// it cannot be written.
bool writeBatchCsv(const QString& path, const BatchSheet& sheet, QString* error);

}  // namespace tessaro::app
