#include "expansion.h"

#include <algorithm>
#include <cmath>

#include "core/format.h"
#include "core/oxidegroups.h"

namespace tessaro::core {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// One oxide of the glaze: its name, its content in weight per cent, its
// molecular weight (none for an other oxide without one) and whether it
// belongs to the RO group of psi.
struct Component {
  std::string name;
  double content = 0;
  std::optional<double> weight;
  bool roGroup = false;
  const OxideFactor* factor = nullptr;
  double percent = 0;  // in the set's basis, once normalised
  bool counted = false;
};

std::vector<Component> components(const FactorSet& set, const Contents& contents, const OtherOxides& others) {
  std::vector<Component> list;
  for (std::size_t i = 0; i < kMainOxides.size(); ++i) {
    const Oxide m = kMainOxides[i];
    if (contents[m] == 0) continue;
    // In the K/Na merged state the K2O column holds K2O + Na2O and NA2O is 0:
    // the merged amount counts with the K2O weight and the K2O factor.
    const bool ro = std::any_of(kMainOxideCells.begin(), kMainOxideCells.end(),
                                [m](const MainOxideCell& c) { return c.oxide == m && c.group == OxideGroup::RO; });
    list.push_back(Component{std::string(kMainOxideNames[i]), contents[m], kMainMolecularWeights[i], ro});
  }
  for (std::size_t k = 0; k < kOtherOxides.size(); ++k) {
    const double content = contents[kOtherOxides[k]];
    if (content == 0) continue;
    const OtherOxide& other = others[k];
    const bool ro = otherOxideKind(other.name) == OxideGroup::RO;
    list.push_back(Component{other.name, content, other.weight, ro});
  }
  for (Component& c : list) c.factor = set.find(c.name);
  return list;
}

// Per cent of the named oxide(s) among the counted components (0 when absent).
double percentOf(const std::vector<Component>& list, std::string_view name) {
  double sum = 0;
  for (const Component& c : list)
    if (c.counted && sameOxideName(c.name, name)) sum += c.percent;
  return sum;
}

// The value of a rule's variable; none when it is psi and the glaze holds no B2O3.
std::optional<double> variableValue(const std::vector<Component>& list, const FactorVariable& variable) {
  if (variable.kind == FactorVariable::Kind::Sum) {
    double sum = 0;
    for (const std::string& name : variable.oxides) sum += percentOf(list, name);
    return sum;
  }
  const double boron = percentOf(list, "B2O3");
  if (boron == 0) return std::nullopt;
  double ro = 0;
  for (const Component& c : list)
    if (c.counted && c.roGroup) ro += c.percent;
  return (ro - percentOf(list, "Al2O3")) / boron;
}

}  // namespace

bool sameOxideName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

const OxideFactor* FactorSet::find(std::string_view oxide) const {
  for (const OxideFactor& f : factors)
    if (sameOxideName(f.oxide, oxide)) return &f;
  return nullptr;
}

double ruleFactor(double base, const VariableRule& rule, double v) {
  double f = base;
  if (rule.above ? v > rule.start : v < rule.start) f = base + rule.slope * (v - rule.start);
  if (rule.min) f = std::max(f, *rule.min);
  if (rule.max) f = std::min(f, *rule.max);
  return f;
}

ExpansionResult computeExpansion(const FactorSet& set, const Contents& contents, const OtherOxides& others) {
  const bool moles = set.basis == ExpansionBasis::MolePercent;
  std::vector<Component> list = components(set, contents, others);

  ExpansionResult result;
  // The per cents are normalised to 100 over the oxides of the glaze: a
  // computed composition totals near 100 but seldom exactly, and the factors
  // are per cent of the glass itself. An oxide without a factor still takes
  // its share, so the others keep their true per cents. An other oxide
  // without a molecular weight cannot be turned into moles and takes none.
  double total = 0;
  for (Component& c : list) {
    if (moles && !(c.weight && *c.weight > 0)) continue;
    c.percent = moles ? c.content / *c.weight : c.content;
    c.counted = true;
    total += c.percent;
  }
  for (Component& c : list) {
    if (c.counted && total != 0) c.percent = c.percent / total * 100;
    if (!c.factor) {
      result.missing.push_back(c.name);
    } else if (!c.counted) {
      // The set knows this oxide, but without its molecular weight its mole
      // per cent is unknown: missing all the same, never counted as 0.
      result.missing.push_back(c.name);
      result.withoutWeight.push_back(c.name);
    }
  }
  double alpha = 0;
  for (const Component& c : list) {
    if (!c.factor || !c.counted) continue;
    double f = c.factor->base;
    if (c.factor->rule) {
      if (const auto v = variableValue(list, c.factor->rule->variable)) f = ruleFactor(f, *c.factor->rule, *v);
    }
    const double value = c.percent * f / set.divisor;
    result.contributions.push_back(ExpansionContribution{c.name, c.percent, f, value});
    alpha += value;
  }
  if (result.missing.empty() && !list.empty() && total != 0) result.alpha = alpha;
  return result;
}

// ---------------------------------------------------------------------------

namespace {

std::string quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

// A finite number as the program reads numbers everywhere.
std::optional<double> number(std::string_view text) {
  const std::optional<double> v = parseNumber(text);
  return v && std::isfinite(*v) ? v : std::nullopt;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !isBlank(text[i])) ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

bool sameWord(std::string_view a, std::string_view b) { return sameOxideName(a, b); }

std::variant<FactorVariable, FactorParseError> parseVariable(std::string_view text) {
  FactorVariable v;
  if (sameWord(text, "psi")) {
    v.kind = FactorVariable::Kind::Psi;
    return v;
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t plus = std::min(text.find('+', start), text.size());
    const std::string_view name = text.substr(start, plus - start);
    if (name.empty())
      return FactorParseError{"变量" + quoted(text) + "不可用：应为 psi，或用“+”连接的氧化物名（如 Na2O+K2O+Li2O）"};
    v.oxides.emplace_back(name);
    start = plus + 1;
  }
  return v;
}

const char* const kRuleForm = "规则应写作：above 或 below、变量、起点、slope 斜率，可再加 min 下限、max 上限";

std::variant<VariableRule, FactorParseError> parseRule(std::string_view text) {
  const std::vector<std::string_view> w = words(text);
  if (w.size() < 5) return FactorParseError{std::string("规则") + quoted(text) + "不完整。" + kRuleForm};
  VariableRule rule;
  if (sameWord(w[0], "above")) {
    rule.above = true;
  } else if (sameWord(w[0], "below")) {
    rule.above = false;
  } else {
    return FactorParseError{"规则应以 above 或 below 开头，见到的是" + quoted(w[0]) + "。" + kRuleForm};
  }
  auto variable = parseVariable(w[1]);
  if (auto* e = std::get_if<FactorParseError>(&variable)) return *e;
  rule.variable = std::get<FactorVariable>(variable);
  const auto start = number(w[2]);
  if (!start) return FactorParseError{"起点" + quoted(w[2]) + "不是一个数"};
  rule.start = *start;
  if (!sameWord(w[3], "slope")) return FactorParseError{"起点之后应为 slope，见到的是" + quoted(w[3]) + "。" + kRuleForm};
  const auto slope = number(w[4]);
  if (!slope) return FactorParseError{"斜率" + quoted(w[4]) + "不是一个数"};
  rule.slope = *slope;
  for (std::size_t i = 5; i < w.size(); i += 2) {
    const bool isMin = sameWord(w[i], "min");
    if (!isMin && !sameWord(w[i], "max"))
      return FactorParseError{"斜率之后只能有 min 或 max，见到的是" + quoted(w[i]) + "。" + kRuleForm};
    std::optional<double>& bound = isMin ? rule.min : rule.max;
    if (bound) return FactorParseError{std::string(w[i]) + " 写了两次"};
    const auto value = i + 1 < w.size() ? number(w[i + 1]) : std::nullopt;
    if (!value)
      return FactorParseError{std::string(w[i]) + " 之后应为一个数" +
                              (i + 1 < w.size() ? "，见到的是" + quoted(w[i + 1]) : std::string("，但没有"))};
    bound = *value;
  }
  if (rule.min && rule.max && *rule.min > *rule.max) return FactorParseError{"下限 min 大于上限 max"};
  return rule;
}

}  // namespace

std::variant<ExpansionBasis, FactorParseError> parseBasis(std::string_view text) {
  text = trimmed(text);
  if (sameWord(text, "mol")) return ExpansionBasis::MolePercent;
  if (sameWord(text, "wt")) return ExpansionBasis::WeightPercent;
  return FactorParseError{"基准应为 mol（摩尔百分数）或 wt（质量百分数），见到的是" + quoted(text)};
}

std::variant<double, FactorParseError> parseDivisor(std::string_view text) {
  text = trimmed(text);
  const auto v = number(text);
  if (!v || *v == 0) return FactorParseError{"除数应为一个不为 0 的数，见到的是" + quoted(text)};
  return *v;
}

std::variant<OxideFactor, FactorParseError> parseFactor(std::string_view oxide, std::string_view text) {
  OxideFactor factor;
  factor.oxide = std::string(trimmed(oxide));
  if (factor.oxide.empty()) return FactorParseError{"氧化物名为空"};
  const std::size_t bar = text.find('|');
  const std::string_view baseText = trimmed(text.substr(0, bar));
  const auto base = number(baseText);
  if (!base) return FactorParseError{"因子" + quoted(baseText) + "不是一个数"};
  factor.base = *base;
  if (bar != std::string_view::npos) {
    auto rule = parseRule(trimmed(text.substr(bar + 1)));
    if (auto* e = std::get_if<FactorParseError>(&rule)) return *e;
    factor.rule = std::get<VariableRule>(rule);
  }
  return factor;
}

// ---------------------------------------------------------------------------

FitVerdict judgeFit(double glazeAlpha, double bodyAlpha) {
  FitVerdict v;
  v.difference = glazeAlpha - bodyAlpha;
  v.shiveringMargin = kShiveringFraction * bodyAlpha;
  if (v.difference > kCrazingMargin) {
    v.kind = FitKind::Crazing;
  } else if (v.difference < -v.shiveringMargin) {
    v.kind = FitKind::Shivering;
  } else {
    v.kind = FitKind::Fits;
  }
  return v;
}

}  // namespace tessaro::core
