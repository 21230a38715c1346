// The thermal-expansion factor sets of the data folder (数据库/膨胀系数_<name>.ini)
// and the calculated expansion of the result formulas with their body fit,
// as the window and the command line show them.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "app/fitinputs.h"
#include "core/expansion.h"

namespace tessaro::app {

// A set's file is the prefix, its name and ".ini".
inline const QString kExpansionFilePrefix = QStringLiteral("膨胀系数_");
// The unit of every coefficient shown.
inline const QString kExpansionUnit = QStringLiteral("×10⁻⁷/°C");
// The set listed first and used when none is chosen.
inline const QString kDefaultExpansionSet = QStringLiteral("Appen");

// The names of the sets in the data folder under `baseFolder`: Appen first
// when it is there, then the others sorted. Empty when there are none.
QStringList expansionSetNames(const QString& baseFolder);

// The file of set `name` as messages show it ("数据库/膨胀系数_Appen.ini").
QString expansionSetFileName(const QString& name);

// Reads set `name` (its letter case need not match the file's). No value,
// with one sentence in `error`, when there is no such set (naming the sets
// there are), its file cannot be read, or a line of it cannot be understood
// (naming the file, the line, the key and what is wrong).
std::optional<core::FactorSet> loadExpansionSet(const QString& baseFolder, const QString& name, QString* error);

// The body's measured coefficient as the user typed it (10⁻⁷/°C); no value,
// with a sentence in `error`, unless it is a number above 0.
std::optional<double> parseBodyAlpha(const QString& text, QString* error);

struct OxideContribution {
  QString oxide;
  double value = 0;  // 10⁻⁷/°C
};

// One result formula worked out.
struct FormulaExpansion {
  QString label;                                 // its BH ("1＃配比")
  std::optional<double> alpha;                   // 10⁻⁷/°C; none when it cannot be calculated
  std::vector<OxideContribution> contributions;  // main oxides in column order, then the other oxides
  QStringList missing;                           // oxides of the glaze without a usable factor
  QString explanation;                           // why alpha has no value; empty when it has one
  QString fit;                                   // the fit verdict; empty without a body or an alpha
};

// Every result formula of `inputs` with `set`; the fit against `bodyAlpha`
// when it is given.
std::vector<FormulaExpansion> formulaExpansions(const FitInputs& inputs, const core::FactorSet& set,
                                                std::optional<double> bodyAlpha);

// The verdict in one sentence, with the difference and the margin it crossed
// or kept ("釉比坯高 3.2×10⁻⁷/°C：有釉裂的危险（釉的膨胀系数高于坯）").
QString fitVerdictText(const core::FitVerdict& verdict);

// The margins the verdict uses, in one sentence.
QString fitMarginsText();

}  // namespace tessaro::app
