// The proportion solver: the proportions in which the raw materials of the
// formula table are mixed to approach a target composition, by a two-phase
// simplex method on a fixed dense tableau.
//
// Formula 1 (argument -1) gives every constraint row a surplus variable, so
// each matched oxide must reach at least its target; it stops at the first
// mixture that satisfies every row. Formula 2 (argument 0) has no surplus
// variables, so no matched oxide may exceed its target; phase 1 minimises the
// target-weighted shortfall and phase 2 the price.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/composition.h"

namespace tessaro::core {

// The solver's argument: the coefficient of the surplus columns.
inline constexpr int kFormula1 = -1;
inline constexpr int kFormula2 = 0;

// The tableau holds at most this many raw materials.
inline constexpr int kMaxMaterials = 35;

// Absolute tolerance of every comparison of the simplex method.
inline constexpr double kSolverTolerance = 1e-6;

// Input bounds: weighted rows stay within 1e6, so rounding (~1e-9) stays far under the tolerance; no figure overflows.
inline constexpr double kMaxContent = 1000;             // |contents|, |IL|, |HJ| and targets, in per cent
inline constexpr double kMaxPrice = 1e6;                // |DJ|; the formula's price then stays below 1.2e6
inline constexpr double kMaxAmount = 100;               // mandatory amounts, in per cent of the formula
inline constexpr double kMinTarget = kSolverTolerance;  // a smaller non-zero target is lost in the tolerance

// One raw material of the formula table, on the ignition-free basis.
struct SolverMaterial {
  std::string name;               // NAME, for messages
  Contents contents{};            // the eleven oxides, ignition-free
  double il = 0;                  // IL, loss on ignition as analysed
  double hj = 100;                // HJ, total as analysed
  double dj = 0;                  // DJ, unit price
  std::array<bool, 3> marks{};    // BXL1..BXL3 not empty
};

// Whether a mark cell (BXL1..BXL3 of the formula table) marks its material:
// any text does; blanks alone are an empty cell, as a blank-padded field reads.
bool isMarked(std::string_view markText);

// The target record: its contents (only the nine matched oxides take part)
// and the mandatory amounts BXL1..BXL3 as typed, in per cent of the formula;
// an empty (or all-blank) amount means none.
struct SolverTarget {
  Contents contents{};
  std::array<std::string, 3> amounts;
};

// A value as a table stores it: the number the field holds once the text
// handed to the table engine ("%8.2f" and friends) is read back, and that
// text, written from the value when asked for.
struct StoredValue {
  double value = 0;   // the number the field holds
  double source = 0;  // the value formatted
  int decimals = 2;

  // The text at `width`, padded with leading blanks.
  std::string text(int width = 8) const;
};

// The stored form of `value` at `decimals` decimals.
StoredValue storedValue(double value, int decimals);

// One pivot of the simplex method, in tableau numbering: constraint row 2..15
// and column 1..n+14; phase 1 or 2.
struct Pivot {
  int row = 0;
  int column = 0;
  int phase = 1;
  bool operator==(const Pivot&) const = default;
};

// What one call of the solver computes.
struct FormulaResult {
  int argument = kFormula1;
  std::string label;                   // BH of the result record: "1＃配比" or "2＃配比"
  bool feasible = false;               // false: no mixture, everything 0
  std::vector<double> x;               // the solution before normalisation
  std::vector<double> fired;           // fired proportions P_i, unrounded
  std::vector<StoredValue> proportions;  // NUM1 or NUM2 of each raw material
  StoredValue price;                   // DJ of the result record
  std::array<StoredValue, kOxideCount> oxides;  // SIO2..QTCF3 of the result record
  StoredValue total;                   // HJ of the result record
  std::vector<Pivot> pivots;           // every pivot in order
  bool pivotLimitReached = false;      // the formula failed on the pivot bound
};

// Why the solver refused its input; nothing was computed.
struct SolverRefusal {
  enum class Kind {
    TooManyMaterials,  // more than kMaxMaterials raw materials
    NoFiredPart,       // a raw material with HJ <= IL
    BadAmount,         // a mandatory amount that is not a number, negative or above kMaxAmount
    NegativeTarget,    // a negative matched target content
    NotFinite,         // a value that is not a finite number
    OutOfRange,        // a value beyond kMaxContent or kMaxPrice, or a target between 0 and kMinTarget
    BadArgument,       // argument other than -1 and 0, or precision other than 0, 1, 2
  };
  Kind kind = Kind::TooManyMaterials;
  int material = -1;   // index of the raw material concerned, or -1
  std::string field;   // the column concerned ("HJ", "BXL2", "SIO2", ...), or empty
  std::string message; // the message for the user
};

using SolveOutcome = std::variant<FormulaResult, SolverRefusal>;

// Checks the input without computing anything; the first problem found, if any.
std::optional<SolverRefusal> checkSolverInput(const std::vector<SolverMaterial>& materials, const SolverTarget& target,
                                              int argument, int precision);

// Computes one formula. `argument` is kFormula1 or kFormula2, `precision` the
// decimals (0, 1 or 2) of the raw proportions and of the fired proportions
// that form the composition. Refuses the input as checkSolverInput does.
// `pivotBound` replaces pivotLimit(n) when given.
SolveOutcome solveFormula(const std::vector<SolverMaterial>& materials, const SolverTarget& target, int argument,
                          int precision, std::optional<int> pivotBound = std::nullopt);

// The bound on the number of pivots for n raw materials, generous enough never
// to be met on sound data; reaching it counts as a failed formula.
int pivotLimit(int materialCount);

}  // namespace tessaro::core
