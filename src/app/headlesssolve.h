// The proportion solver and the error evaluation alone, on values given
// directly instead of read from the tables (the command line's "solve").
#pragma once

#include <QString>

#include <array>
#include <string>
#include <variant>
#include <vector>

namespace tessaro::app {

// Values of the eleven oxide columns, in the order of oxideFields()
// (app/gridcolumns.h).
using OxideValues = std::array<double, 11>;

struct SolveMaterial {
  std::string name;
  OxideValues contents{};  // ignition-free, as in the formula table
  double il = 0;
  double hj = 100;
  double dj = 0;
  std::array<std::string, 3> marks;  // BXL1..BXL3 as typed
};

struct SolveTarget {
  OxideValues contents{};
  std::array<std::string, 3> amounts;  // BXL1..BXL3 as typed
};

struct SolveInput {
  int precision = 2;
  std::vector<SolveMaterial> materials;
  SolveTarget target;
};

// One formula as the result record would hold it, with what the solver and
// the error evaluation found on the way.
struct SolvedFormula {
  std::string label;  // BH
  bool feasible = false;
  std::vector<double> x;            // the solution before normalisation
  std::vector<double> proportions;  // NUM of each raw material as stored
  double price = 0;                 // DJ
  OxideValues composition{};        // SIO2..QTCF3
  double total = 0;                 // HJ
  double averageError = 0;          // the average error rate, unrounded
  std::string remark;               // BZ
};

// A refusal: the field of the input it concerns ("materials[2].SIO2",
// "target.BXL1", "materials", "input") and the message.
struct SolveRefusal {
  QString field;
  QString message;
};

using SolveOutcome = std::variant<SolveRefusal, std::array<SolvedFormula, 2>>;

// Formula 1 and formula 2 on `input`.
SolveOutcome solveWithoutTables(const SolveInput& input);

}  // namespace tessaro::app
