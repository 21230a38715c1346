// What the glaze-fit and batch-sheet figures are worked out from, read from
// the data folder with cursors of their own: the result records, the
// target, the raw materials of the formula table with their proportions and
// prices, and the names and molecular weights of the three other oxides.
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "core/properties.h"

namespace tessaro::app {

// A raw material of the formula table: its stored raw proportions in
// formula 1 and 2 (NUM1, NUM2, per cent) and its unit price (DJ, 元/吨).
// An empty cell reads as 0.
struct FitMaterial {
  QString name;
  double num1 = 0;
  double num2 = 0;
  double price = 0;

  double proportion(int formula) const { return formula == 1 ? num1 : num2; }
};

struct FitInputs {
  // The result records in BH order (none, one or two), each labelled with
  // its BH ("1＃配比") and holding the fired composition in weight per cent.
  std::vector<core::ResultFormula> formulas;
  // The target's first record, labelled with its NAME; none when the table is empty.
  std::optional<core::ResultFormula> target;
  // The other oxides as the result grid names them, with the molecular
  // weights of the settings file (no weight when missing or not a number).
  core::OtherOxides others;
  // The formula table's rows in their natural order.
  std::vector<FitMaterial> materials;
};

// Reads the inputs from the tables under `baseFolder` (the folder that holds
// 数据库). No value, with one sentence in `error` naming the table, the
// record and the field, when a table does not open, its file disagrees with
// its header, or a cell that is used is not a number.
std::optional<FitInputs> readFitInputs(const QString& baseFolder, QString* error);

// The label of formula k (1 or 2) of the formula table's proportions
// ("1＃配比"), as the result records are labelled.
QString formulaLabel(int formula);

}  // namespace tessaro::app
