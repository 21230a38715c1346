// Body and glaze properties of computed formulas: molar amounts, the oxide
// formula normalised by the R2O3 sum (body) or the RO sum (glaze),
// refractoriness, firing or melting temperature, the acidity coefficient,
// and the rows of the property table that show them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/composition.h"
#include "core/oxidegroups.h"
#include "core/propertytable.h"

namespace tessaro::core {

enum class FormulaKind { Body, Glaze };

// Constants of the temperature formulas. Fluxes are counted as the weight of
// K2O they stand for: the factors are the K2O weight over the Na2O, MgO and
// CaO weights, in full precision.
inline constexpr double kK2OWeight = 94.2;
inline constexpr double kNa2OFactor = 94.2 / 62.0;  // 1.5193548387096774
inline constexpr double kMgOFactor = 94.2 / 40.3;   // 2.337468982630273
inline constexpr double kCaOFactor = 94.2 / 56.1;   // 1.679144385026738
inline constexpr double kBaseOffset = 360;
inline constexpr double kRefractorinessDivisor = 0.228;
inline constexpr double kFiringDivisor = 0.288;  // body
inline constexpr double kMeltingFactor = 0.85;   // glaze: 0.85 x refractoriness

// "坯式" or "釉式", appended to the formula label in the title of a side.
std::string_view formulaSuffix(FormulaKind kind);
// Label of the second temperature: "烧成温度" (body) or "熔融温度" (glaze).
std::string_view secondTemperatureLabel(FormulaKind kind);

// A user-named oxide of the main screen: the caption of its column in the
// result grid and its molecular weight from the settings file (no value when
// the settings hold none).
struct OtherOxide {
  std::string name;
  std::optional<double> weight;
};
using OtherOxides = std::array<OtherOxide, 3>;

// A result record: its formula label (BH, e.g. "1＃配比") and its eleven
// oxide contents as stored. In the K/Na merged state K2O holds K2O + Na2O and
// NA2O holds 0; the arithmetic needs nothing else for it, since the merged
// amount is converted with the K2O weight 94.2 and counts with the factor 1.
struct ResultFormula {
  std::string label;
  Contents contents{};
};

// One formula worked out. Arrays over the other oxides are indexed 0..2 for
// QTCF1..QTCF3; an other oxide takes part (has a kind) when its content is
// not 0 and its name looks like an oxide (otherOxideKind).
struct SideProperties {
  std::array<std::optional<OxideGroup>, 3> otherKinds{};
  std::array<double, 3> otherMoles{};        // content / weight
  std::array<double, 3> fluxEquivalents{};   // content x (94.2 / weight) for RO and RO2 kinds
  std::array<double, 8> mainMoles{};         // content / molecular weight, indexed by Oxide (SIO2..NA2O)
  double normalisingSum = 0;                 // S; 0 leaves the formula out of the table
  // The rest is worked out only when S is not 0; all unrounded.
  double aluminaIndex = 0;                   // A
  double fluxIndex = 0;                      // F
  double base = 0;                           // 360 + A - F
  double refractoriness = 0;                 // base / 0.228
  double secondTemperature = 0;              // firing (body) base / 0.288, melting (glaze) 0.85 x refractoriness

  bool laidOut() const { return normalisingSum != 0; }
};

// Why the property calculation cannot run. `message` is the text to show.
struct PropertyRefusal {
  enum class Reason {
    MissingWeight,    // an other oxide that takes part has no molecular weight
    InvalidWeight,    // its weight is 0, negative or not finite
    NoSilicaAlumina,  // SIO2 + AL2O3 = 0: the temperatures have no value
    NoFormula,        // no formula has anything to normalise by
  };
  Reason reason;
  int side = 0;             // the formula concerned (0 or 1); for NoFormula the last one
  std::string formula;      // its label
  int otherOxide = 0;       // 1..3 for the weight reasons
  std::string message;
};

// Works out one formula (side 0 or 1). Other oxides are taken in the order
// QTCF1, QTCF2, QTCF3; a refusal names the first fault in that order, then
// an SIO2 + AL2O3 of 0 (only when the formula is laid out).
std::variant<SideProperties, PropertyRefusal> computeSide(FormulaKind kind, const ResultFormula& formula, int side,
                                                          const OtherOxides& others);

// The pieces of computeSide, for callers that need one of them.
// S of a body: m(Al2O3) + m(Fe2O3) + the R2O3-kind m_k; of a glaze: m(CaO) +
// m(MgO) + m(K2O) + m(Na2O) + the RO-kind m_k; added in these orders.
double normalisingSum(FormulaKind kind, const SideProperties& moles);
// A = AL2O3 x 100 / (SIO2 + AL2O3), from the contents in weight per cent.
double aluminaIndex(const Contents& contents);
// F = (K2O + NA2O x kNa2OFactor + MGO x kMgOFactor + CAO x kCaOFactor + e_1 +
// e_2 + e_3) x 100 / (SIO2 + AL2O3), added in this order.
double fluxIndex(const Contents& contents, const std::array<double, 3>& fluxEquivalents);
// C = RO2 / (RO + 3 x R2O3) from the group sums; 0 when there is no RO sum
// or the divisor is 0.
double acidityCoefficient(std::optional<double> roSum, std::optional<double> r2o3Sum, std::optional<double> ro2Sum);

struct PropertyOptions {
  // Bytes a character takes in the table file; with it, labels are cut to 8
  // bytes and titles to 20 at a character boundary as the fields keep them.
  // Without it texts are given whole and the table cuts them.
  CharBytes charBytes;
  // Decimals of the numeric fields; with them every value is given as the
  // table keeps it (rounded half away from zero), and the group sums and the
  // acidity coefficient are formed from the kept values as the table would
  // give them back. Without them values are unrounded, except the
  // temperatures, which are always rounded to one decimal ("%8.1f").
  std::optional<int> storedDecimals;
};

// The whole property calculation of the body (坯性能) or glaze (釉性能)
// command on one or two result records.
struct PropertyOutcome {
  std::optional<PropertyRefusal> refusal;          // set: nothing else holds a value
  std::array<std::optional<SideProperties>, 2> sides;  // side 1 empty for a single record
  std::vector<PropertyRow> rows;                   // the property table, in order
  std::array<double, 2> acidity{};                 // C_0, C_1 as the acidity row holds them
  // Names the formulas that are left out because their S is 0 (empty when
  // none is); the other formula's side is filled all the same.
  std::string notice;

  bool ok() const { return !refusal; }
  int panelHeight() const { return propertyPanelHeight(static_cast<int>(rows.size())); }
};

// Lays out the property table for `first` (side 0) and, when given,
// `second` (side 1):
//  - rows 1 to 4 carry the main oxides (K2O AL2O3 SiO2 / Na2O Fe2O3 TiO2 /
//    CaO / MgO) with the formula title in row 1;
//  - a spacer row with the RO label " " follows when all three other oxides
//    of a formula are of the R2O3 kind, or all three of the RO2 kind;
//  - each other oxide that takes part goes, in the order QTCF1..QTCF3, to the
//    first row whose cell of its group on its side is free; a row is added
//    when none is, so with different other oxides in the two formulas every
//    one of them is listed and nothing is overwritten;
//  - then the group-sum row (sums of the oxide rows of each side), the
//    property row ("耐火度" and "烧成温度" or "熔融温度", one decimal) and the
//    acidity row ("酸性系数" on both sides, 0 for a side without formula).
// A formula whose S is 0 leaves its side empty; when the first is left out
// the second is laid out from row 1. Refused when no formula can be laid
// out, when an other oxide that takes part lacks a usable weight, or when a
// laid-out formula has SIO2 + AL2O3 = 0.
PropertyOutcome computeProperties(FormulaKind kind, const ResultFormula& first,
                                  const std::optional<ResultFormula>& second, const OtherOxides& others,
                                  const PropertyOptions& options = {});

}  // namespace tessaro::core
