// The batch sheet: how much of every raw material goes into the mill for a
// batch of a given dry weight, with the water and the cost.
//
// For a batch of KG kilograms of dry material, a raw material with the raw
// proportion NUM (per cent, loss on ignition included, as stored for the
// formula) weighs NUM x KG / 100 kg and costs kg / 1000 x DJ 元, DJ being its
// unit price in 元 per tonne.
//
// The water content W is the share of water in the wet slip (wet basis):
// water = dry x W / (100 - W), so that water / (dry + water) = W / 100.
// W lies in [0, 100).
//
// Nothing is rounded here; the display texts round kilograms to 0.001 kg
// (one gram, what a batch scale reads) and money to 0.01 元 (one fen).
#pragma once

#include <string>
#include <vector>

namespace tessaro::core {

// One raw material as the formula gives it.
struct BatchInput {
  std::string name;
  double proportion = 0;  // NUM, per cent
  double price = 0;       // DJ, 元 per tonne
};

// One line of the sheet.
struct BatchLine {
  std::string name;
  double proportion = 0;  // per cent
  double price = 0;       // 元 per tonne
  double kg = 0;
  double cost = 0;  // 元
};

struct BatchFormula {
  std::string label;  // "1＃配比"
  std::vector<BatchLine> lines;
  double proportion = 0;  // the lines' proportions added up, per cent
  double dryKg = 0;
  double waterKg = 0;
  double cost = 0;  // 元
  double wetKg() const { return dryKg + waterKg; }
};

// Decimals of the display texts.
inline constexpr int kBatchKgDecimals = 3;
inline constexpr int kBatchCostDecimals = 2;
inline constexpr int kBatchPercentDecimals = 2;
inline constexpr int kBatchPriceDecimals = 2;

// The water that gives `waterPercent` per cent of the wet slip for `dryKg`
// of dry material (wet basis); 0 for W = 0. W must lie in [0, 100).
double batchWater(double dryKg, double waterPercent);

// The sheet of one formula: a line per raw material whose proportion is not
// 0, in the order given; the dry total, the water and the cost. A formula
// whose proportions are all 0 has no lines and totals of 0.
BatchFormula batchFormula(const std::string& label, const std::vector<BatchInput>& materials, double batchKg,
                          double waterPercent);

}  // namespace tessaro::core
