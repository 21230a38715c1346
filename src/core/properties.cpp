#include "properties.h"

#include <cmath>

#include "format.h"

namespace tessaro::core {

std::string_view formulaSuffix(FormulaKind kind) { return kind == FormulaKind::Body ? "坯式" : "釉式"; }

std::string_view secondTemperatureLabel(FormulaKind kind) {
  return kind == FormulaKind::Body ? "烧成温度" : "熔融温度";
}

double normalisingSum(FormulaKind kind, const SideProperties& p) {
  const OxideGroup joins = kind == FormulaKind::Body ? OxideGroup::R2O3 : OxideGroup::RO;
  double s = kind == FormulaKind::Body ? p.mainMoles[AL2O3] + p.mainMoles[FE2O3]
                                       : p.mainMoles[CAO] + p.mainMoles[MGO] + p.mainMoles[K2O] + p.mainMoles[NA2O];
  for (int k = 0; k < 3; ++k) {
    if (p.otherKinds[k] == joins) s += p.otherMoles[k];
  }
  return s;
}

double aluminaIndex(const Contents& c) { return c[AL2O3] * 100 / (c[SIO2] + c[AL2O3]); }

double fluxIndex(const Contents& c, const std::array<double, 3>& e) {
  const double fluxes = c[K2O] + c[NA2O] * kNa2OFactor + c[MGO] * kMgOFactor + c[CAO] * kCaOFactor + e[0] + e[1] + e[2];
  return fluxes * 100 / (c[SIO2] + c[AL2O3]);
}

double acidityCoefficient(std::optional<double> roSum, std::optional<double> r2o3Sum, std::optional<double> ro2Sum) {
  if (!roSum) return 0;
  const double divisor = *roSum + 3 * r2o3Sum.value_or(0);
  if (divisor == 0) return 0;
  return ro2Sum.value_or(0) / divisor;
}

namespace {

PropertyRefusal refusal(PropertyRefusal::Reason reason, int side, std::string formula, int otherOxide,
                        std::string message) {
  return PropertyRefusal{reason, side, std::move(formula), otherOxide, std::move(message)};
}

// What the normalising sum of a formula is made of, for messages.
std::string normalisingOxides(FormulaKind kind) {
  return kind == FormulaKind::Body ? "Al2O3、Fe2O3 与 R2O3 类其它氧化物" : "CaO、MgO、K2O、Na2O 与 RO 类其它氧化物";
}

}  // namespace

std::variant<SideProperties, PropertyRefusal> computeSide(FormulaKind kind, const ResultFormula& formula, int side,
                                                          const OtherOxides& others) {
  const Contents& c = formula.contents;
  SideProperties p;

  for (int k = 0; k < 3; ++k) {
    const double v = c[QTCF1 + k];
    const OtherOxide& other = others[k];
    const auto group = otherOxideKind(other.name);
    if (v == 0 || !group) continue;
    if (!other.weight) {
      return refusal(PropertyRefusal::Reason::MissingWeight, side, formula.label, k + 1,
                     "请设置" + other.name + "分子量。");
    }
    const double w = *other.weight;
    if (!std::isfinite(w) || w <= 0) {
      return refusal(PropertyRefusal::Reason::InvalidWeight, side, formula.label, k + 1,
                     other.name + "的分子量" + formatGeneral(w) + "不能用于计算：分子量必须大于 0。请重新设置" +
                         other.name + "分子量。");
    }
    p.otherKinds[k] = group;
    if (*group != OxideGroup::R2O3) p.fluxEquivalents[k] = v * (kK2OWeight / w);
    p.otherMoles[k] = v / w;
  }

  for (int i = 0; i < 8; ++i) p.mainMoles[i] = c[i] / kMainMolecularWeights[i];

  p.normalisingSum = normalisingSum(kind, p);
  if (!p.laidOut()) return p;

  if (c[SIO2] + c[AL2O3] == 0) {
    return refusal(PropertyRefusal::Reason::NoSilicaAlumina, side, formula.label, 0,
                   formula.label + "的 SiO2 与 Al2O3 之和为 0，无法计算耐火度和" +
                       std::string(secondTemperatureLabel(kind)) + "。");
  }
  p.aluminaIndex = aluminaIndex(c);
  p.fluxIndex = fluxIndex(c, p.fluxEquivalents);
  p.base = kBaseOffset + p.aluminaIndex - p.fluxIndex;
  p.refractoriness = p.base / kRefractorinessDivisor;
  p.secondTemperature = kind == FormulaKind::Body ? p.base / kFiringDivisor : p.refractoriness * kMeltingFactor;
  return p;
}

namespace {

// Builds the rows of the property table.
class Layout {
 public:
  Layout(FormulaKind kind, const PropertyOptions& options) : kind_(kind), options_(options) {}

  // The oxide rows of one side.
  void addFormula(int side, const ResultFormula& formula, const SideProperties& p, const OtherOxides& others) {
    const double s = p.normalisingSum;
    rowAt(3);
    rows_[0].sides[side].name = text(formula.label + std::string(formulaSuffix(kind_)), kFormulaNameBytes);
    for (const MainOxideCell& cell : kMainOxideCells) {
      rows_[cell.row].sides[side][cell.group] = {label(cell.label), stored(p.mainMoles[cell.oxide] / s)};
    }

    // Rows 3 and 4 leave two free cells in the R2O3 and RO2 columns; a third
    // oxide of the same kind gets a spacer row.
    const auto& kinds = p.otherKinds;
    if (kinds[0] && *kinds[0] != OxideGroup::RO && kinds[1] == kinds[0] && kinds[2] == kinds[0]) {
      PropertyCell& spacer = rowAt(4).sides[side][OxideGroup::RO];
      if (spacer.isFree()) spacer.label = " ";
    }

    for (int k = 0; k < 3; ++k) {
      if (!kinds[k]) continue;
      freeCell(side, *kinds[k]) = {label(others[k].name), stored(p.otherMoles[k] / s)};
    }
  }

  // The rows after the oxide rows; `sides` holds the formulas laid out.
  void finish(const std::array<const SideProperties*, 2>& sides) {
    const std::size_t oxideRows = rows_.size();

    PropertyRow sums;
    sums.kind = PropertyRowKind::GroupSums;
    for (int side = 0; side < 2; ++side) {
      if (!sides[side]) continue;
      for (int g = 0; g < kGroupCount; ++g) {
        double sum = 0;
        for (std::size_t r = 0; r < oxideRows; ++r) {
          if (const auto& v = rows_[r].sides[side].cells[g].value) sum += *v;
        }
        sums.sides[side].cells[g] = {label(kGroupSumLabels[g]), stored(sum)};
      }
    }
    rows_.push_back(sums);

    PropertyRow properties;
    properties.kind = PropertyRowKind::Properties;
    for (int side = 0; side < 2; ++side) {
      if (!sides[side]) continue;
      properties.sides[side][OxideGroup::RO] = {label("耐火度"), stored(roundFixed(sides[side]->refractoriness, 1))};
      properties.sides[side][OxideGroup::R2O3] = {label(secondTemperatureLabel(kind_)),
                                                  stored(roundFixed(sides[side]->secondTemperature, 1))};
    }
    rows_.push_back(properties);

    PropertyRow acidity;
    acidity.kind = PropertyRowKind::Acidity;
    for (int side = 0; side < 2; ++side) {
      const PropertySideRow& s = sums.sides[side];
      const double c = acidityCoefficient(s[OxideGroup::RO].value, s[OxideGroup::R2O3].value, s[OxideGroup::RO2].value);
      acidity.sides[side][OxideGroup::RO] = {label("酸性系数"), stored(c)};
      acidity_[side] = *acidity.sides[side][OxideGroup::RO].value;
    }
    rows_.push_back(acidity);
  }

  std::vector<PropertyRow> takeRows() { return std::move(rows_); }
  const std::array<double, 2>& acidity() const { return acidity_; }

 private:
  PropertyRow& rowAt(std::size_t index) {
    while (rows_.size() <= index) rows_.emplace_back();
    return rows_[index];
  }

  // The first free cell of `group` on `side`, in a new row when no row has one.
  PropertyCell& freeCell(int side, OxideGroup group) {
    for (PropertyRow& row : rows_) {
      if (row.sides[side][group].isFree()) return row.sides[side][group];
    }
    return rowAt(rows_.size()).sides[side][group];
  }

  double stored(double value) const {
    return options_.storedDecimals ? roundFixed(value, *options_.storedDecimals) : value;
  }
  std::string text(std::string_view s, std::size_t maxBytes) const {
    return options_.charBytes ? cutToBytes(s, maxBytes, options_.charBytes) : std::string(s);
  }
  std::string label(std::string_view s) const { return text(s, kLabelBytes); }

  FormulaKind kind_;
  const PropertyOptions& options_;
  std::vector<PropertyRow> rows_;
  std::array<double, 2> acidity_{};
};

}  // namespace

PropertyOutcome computeProperties(FormulaKind kind, const ResultFormula& first,
                                  const std::optional<ResultFormula>& second, const OtherOxides& others,
                                  const PropertyOptions& options) {
  PropertyOutcome out;
  const std::array<const ResultFormula*, 2> formulas = {&first, second ? &*second : nullptr};

  for (int side = 0; side < 2; ++side) {
    if (!formulas[side]) continue;
    auto r = computeSide(kind, *formulas[side], side, others);
    if (auto* refused = std::get_if<PropertyRefusal>(&r)) {
      out.refusal = std::move(*refused);
      out.sides = {};
      return out;
    }
    out.sides[side] = std::get<SideProperties>(std::move(r));
  }

  std::array<const SideProperties*, 2> laidOut{};
  std::string leftOut;
  int lastSide = 0;
  for (int side = 0; side < 2; ++side) {
    if (!out.sides[side]) continue;
    lastSide = side;
    if (out.sides[side]->laidOut()) {
      laidOut[side] = &*out.sides[side];
    } else {
      if (!leftOut.empty()) leftOut += "、";
      leftOut += formulas[side]->label;
    }
  }
  const std::string why = "的 " + normalisingOxides(kind) + "之和为 0";
  const std::string formulaName = kind == FormulaKind::Body ? "坯式" : "釉式";
  if (!laidOut[0] && !laidOut[1]) {
    out.refusal = refusal(PropertyRefusal::Reason::NoFormula, lastSide, leftOut, 0,
                          "无法计算" + formulaName + "：" + leftOut + why + "。");
    out.sides = {};
    return out;
  }
  if (!leftOut.empty()) out.notice = leftOut + why + "，没有" + formulaName + "，性能表中它的一侧空着。";

  Layout layout(kind, options);
  for (int side = 0; side < 2; ++side) {
    if (laidOut[side]) layout.addFormula(side, *formulas[side], *laidOut[side], others);
  }
  layout.finish(laidOut);
  out.acidity = layout.acidity();
  out.rows = layout.takeRows();
  return out;
}

}  // namespace tessaro::core
