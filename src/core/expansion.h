// The linear thermal expansion coefficient of a fired glaze by additive
// factors, and how the glaze fits its body.
//
// A factor set gives each oxide a factor f_i in 10⁻⁷/°C, either per mole per
// cent or per weight per cent of the glass; the coefficient is
//   alpha = Σ p_i × f_i / divisor
// over the oxides of the glaze, p_i its mole or weight per cent. A factor may
// depend on the composition by one piecewise-linear rule (VariableRule).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/composition.h"
#include "core/properties.h"

namespace tessaro::core {

enum class ExpansionBasis { MolePercent, WeightPercent };

// The quantity a variable factor follows.
struct FactorVariable {
  // The sum of the named oxides' per cents (mole or weight, the set's
  // basis), or psi = (Σ RO-group mol% − Al2O3 mol%) / B2O3 mol%, where the RO
  // group is K2O, Na2O, CaO, MgO and the other oxides of RO kind.
  enum class Kind { Sum, Psi };
  Kind kind = Kind::Sum;
  std::vector<std::string> oxides;  // for Sum
};

// factor = base + slope × (v − start) while v is beyond start on the rule's
// side (above: v > start, below: v < start), then kept within [min, max];
// the base factor otherwise.
struct VariableRule {
  FactorVariable variable;
  bool above = true;
  double start = 0;
  double slope = 0;
  std::optional<double> min;
  std::optional<double> max;
};

struct OxideFactor {
  std::string oxide;  // the name as the set writes it (ASCII, e.g. "Al2O3")
  double base = 0;
  std::optional<VariableRule> rule;
};

struct FactorSet {
  std::string name;
  ExpansionBasis basis = ExpansionBasis::MolePercent;
  double divisor = 1;
  std::vector<OxideFactor> factors;

  // The factor of `oxide`, its name matched without regard to ASCII letter
  // case; none when the set has none.
  const OxideFactor* find(std::string_view oxide) const;
};

// Whether two oxide names are the same but for ASCII letter case.
bool sameOxideName(std::string_view a, std::string_view b);

// The chemical names of the main oxides, indexed by Oxide (SIO2..NA2O).
inline constexpr std::array<std::string_view, 8> kMainOxideNames = {"SiO2", "Al2O3", "Fe2O3", "TiO2",
                                                                   "CaO",  "MgO",   "K2O",   "Na2O"};

// What one oxide adds: its per cent in the set's basis, the factor used and
// p × f / divisor.
struct ExpansionContribution {
  std::string oxide;
  double percent = 0;
  double factor = 0;
  double value = 0;
};

struct ExpansionResult {
  // No value when an oxide of the glaze cannot be counted (see missing).
  std::optional<double> alpha;
  // The oxides counted, main oxides in kMainOxides order, then QTCF1..QTCF3.
  std::vector<ExpansionContribution> contributions;
  // Every oxide of the glaze (content ≠ 0) the set has no factor for, in the
  // same order; and those of them that are other oxides whose name the
  // set knows but which have no molecular weight for a mole-per-cent set.
  std::vector<std::string> missing;
  std::vector<std::string> withoutWeight;
};

// The coefficient of one fired composition (`contents` in weight per cent,
// as the result records hold it). With K2O and Na2O merged, the K2O column
// holds both and counts with the K2O weight and factor.
ExpansionResult computeExpansion(const FactorSet& set, const Contents& contents, const OtherOxides& others);

// The factor `rule` gives for the variable's value v.
double ruleFactor(double base, const VariableRule& rule, double v);

// ---------------------------------------------------------------------------
// Reading a set from its text form. One factor is written
//   OXIDE=BASE
//   OXIDE=BASE | above|below VARIABLE START slope SLOPE [min MIN] [max MAX]
// where VARIABLE is "psi" or oxide names joined by "+" (Na2O+K2O+Li2O). The
// basis is "mol" or "wt", the divisor a number other than 0.

// A text that cannot be read, and why (UTF-8, Chinese).
struct FactorParseError {
  std::string message;
};

std::variant<ExpansionBasis, FactorParseError> parseBasis(std::string_view text);
std::variant<double, FactorParseError> parseDivisor(std::string_view text);
std::variant<OxideFactor, FactorParseError> parseFactor(std::string_view oxide, std::string_view text);

// ---------------------------------------------------------------------------
// Body fit. The glaze is compared with the body's measured coefficient:
// above it, the glaze is under tension on cooling and may craze; below it by
// more than kShiveringFraction of the body's coefficient, it is under so much
// compression that it may shiver off; between the two it fits (a little
// below: under light compression).

inline constexpr double kCrazingMargin = 0.0;       // 10⁻⁷/°C above the body
inline constexpr double kShiveringFraction = 0.10;  // of the body's coefficient

enum class FitKind { Crazing, Fits, Shivering };

struct FitVerdict {
  FitKind kind = FitKind::Fits;
  double difference = 0;       // glaze − body, 10⁻⁷/°C
  double shiveringMargin = 0;  // kShiveringFraction × body
};

FitVerdict judgeFit(double glazeAlpha, double bodyAlpha);

}  // namespace tessaro::core
