// The composition record: the oxide columns, their groups, the two bases of
// contents and the proportions of a formula.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace tessaro::core {

// The eleven oxide columns in the order of every composition grid.
enum Oxide : int { SIO2, AL2O3, FE2O3, TIO2, CAO, MGO, K2O, NA2O, QTCF1, QTCF2, QTCF3 };

inline constexpr int kOxideCount = 11;

// Field names of the eleven oxide columns, indexed by Oxide.
inline constexpr std::array<std::string_view, kOxideCount> kOxideFields = {
    "SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O", "QTCF1", "QTCF2", "QTCF3"};

// Main oxides, always in this order.
inline constexpr std::array<Oxide, 8> kMainOxides = {SIO2, AL2O3, FE2O3, TIO2, CAO, MGO, K2O, NA2O};

// The three oxides the user names himself.
inline constexpr std::array<Oxide, 3> kOtherOxides = {QTCF1, QTCF2, QTCF3};

// The nine oxides the proportion solver fits and the error report judges;
// Fe2O3 and TiO2 are carried along but never fitted.
inline constexpr std::array<Oxide, 9> kMatchedOxides = {SIO2, AL2O3, CAO, MGO, K2O, NA2O, QTCF1, QTCF2, QTCF3};

// Molecular weights of the main oxides, indexed like kMainOxides. In the
// K/Na merged state the K2O column is converted with 94.2 all the same.
inline constexpr std::array<double, 8> kMainMolecularWeights = {60.1, 101.9, 159.7, 80.1, 56.1, 40.3, 94.2, 62.0};

// Molecular weight of a main oxide.
double molecularWeight(Oxide oxide);

// Eleven oxide contents in weight per cent, indexed by Oxide.
using Contents = std::array<double, kOxideCount>;

// Ignition-free contents of an analysis: each content / (HJ - IL) x 100,
// rounded to two decimals as "%8.2f" shows it. An analysis whose total equals
// its loss on ignition has no ignition-free part and gives no value.
std::optional<Contents> ignitionFree(const Contents& asAnalysed, double hj, double il);

// The part of a raw material that survives firing, HJ - IL, per 100 weight
// units as analysed.
struct Ignition {
  double hj = 100;
  double il = 0;
  double firedPart() const { return hj - il; }
};

// Fired to raw proportions of a whole formula:
//   raw_i = (fired_i x 100 / (HJ_i - IL_i)) / sum_k(fired_k x 100 / (HJ_k - IL_k)) x 100.
// No value when a material has HJ = IL. A formula whose proportions are all
// zero stays all zero.
std::optional<std::vector<double>> firedToRaw(const std::vector<double>& fired, const std::vector<Ignition>& materials);

// Raw to fired proportions of a whole formula:
//   fired_i = raw_i x (HJ_i - IL_i) / sum_k(raw_k x (HJ_k - IL_k)) x 100.
// No value when a material has HJ = IL. A formula whose proportions are all
// zero stays all zero.
std::optional<std::vector<double>> rawToFired(const std::vector<double>& raw, const std::vector<Ignition>& materials);

// The composition of a formula: O_m = sum_i c_mi x fired_i / 100 over the
// ignition-free contents c of its raw materials, and the total sum_m O_m.
struct FormulaComposition {
  Contents oxides{};
  double total = 0;
};
FormulaComposition formulaComposition(const std::vector<Contents>& ignitionFreeContents, const std::vector<double>& fired);

// Price of a formula: sum_i raw_i x DJ_i / 100.
double formulaPrice(const std::vector<double>& raw, const std::vector<double>& unitPrices);

// The main oxides among the matched ones: the six a target must carry as
// numbers (every raw material carries all of kMainOxides).
inline constexpr std::array<Oxide, 6> kMatchedMainOxides = {SIO2, AL2O3, CAO, MGO, K2O, NA2O};

}  // namespace tessaro::core
