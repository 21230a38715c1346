#include "app/expansionsets.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <variant>

#include "app/datafolder.h"
#include "core/format.h"
#include "store/profile.h"

namespace tessaro::app {

namespace {

const QString kIniSuffix = QStringLiteral(".ini");
const QString kSetSection = QStringLiteral("set");
const QString kFactorSection = QStringLiteral("factors");

// The sets' files of the data folder: set name → file path, in the order
// the names are listed.
std::vector<std::pair<QString, QString>> setFiles(const QString& baseFolder) {
  const QDir folder(dataFolder(baseFolder));
  std::vector<std::pair<QString, QString>> files;
  for (const QString& entry : folder.entryList(QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name)) {
    if (!entry.startsWith(kExpansionFilePrefix, Qt::CaseInsensitive) || !entry.endsWith(kIniSuffix, Qt::CaseInsensitive))
      continue;
    const QString name = entry.mid(kExpansionFilePrefix.size(), entry.size() - kExpansionFilePrefix.size() - kIniSuffix.size());
    if (name.isEmpty()) continue;
    const bool seen = std::any_of(files.begin(), files.end(), [&](const auto& f) {
      return f.first.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (!seen) files.emplace_back(name, folder.filePath(entry));
  }
  std::stable_sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    const bool aFirst = a.first.compare(kDefaultExpansionSet, Qt::CaseInsensitive) == 0;
    const bool bFirst = b.first.compare(kDefaultExpansionSet, Qt::CaseInsensitive) == 0;
    if (aFirst != bFirst) return aFirst;
    return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
  });
  return files;
}

std::string utf8(const QString& text) { return text.toStdString(); }

QString lineError(const QString& file, int line, const QString& key, const std::string& message) {
  return QStringLiteral("%1 第 %2 行（%3）：%4。").arg(file).arg(line).arg(key, QString::fromStdString(message));
}

// Reads the [set] section's basis and divisor into `set`; false with the
// reason in `error`.
bool readSetSection(const QByteArray& content, const QString& file, core::FactorSet& set, QString* error) {
  std::optional<core::ExpansionBasis> basis;
  std::optional<double> divisor;
  for (const store::Profile::Entry& e : store::Profile::entriesIn(content, kSetSection)) {
    const bool isBasis = e.key.compare(QStringLiteral("basis"), Qt::CaseInsensitive) == 0;
    const bool isDivisor = e.key.compare(QStringLiteral("divisor"), Qt::CaseInsensitive) == 0;
    if (!isBasis && !isDivisor) {
      *error = lineError(file, e.line, e.key, "[set] 节只能有 basis 和 divisor");
      return false;
    }
    if (isBasis) {
      const auto parsed = core::parseBasis(utf8(e.value));
      if (const auto* bad = std::get_if<core::FactorParseError>(&parsed)) {
        *error = lineError(file, e.line, e.key, bad->message);
        return false;
      }
      basis = std::get<core::ExpansionBasis>(parsed);
    } else {
      const auto parsed = core::parseDivisor(utf8(e.value));
      if (const auto* bad = std::get_if<core::FactorParseError>(&parsed)) {
        *error = lineError(file, e.line, e.key, bad->message);
        return false;
      }
      divisor = std::get<double>(parsed);
    }
  }
  if (!basis || !divisor) {
    *error = QStringLiteral("%1：[set] 节缺少 %2。").arg(file, basis ? QStringLiteral("divisor（除数）")
                                                                  : QStringLiteral("basis（mol 或 wt）"));
    return false;
  }
  set.basis = *basis;
  set.divisor = *divisor;
  return true;
}

bool readFactorSection(const QByteArray& content, const QString& file, core::FactorSet& set, QString* error) {
  for (const store::Profile::Entry& e : store::Profile::entriesIn(content, kFactorSection)) {
    const auto parsed = core::parseFactor(utf8(e.key), utf8(e.value));
    if (const auto* bad = std::get_if<core::FactorParseError>(&parsed)) {
      *error = lineError(file, e.line, e.key, bad->message);
      return false;
    }
    set.factors.push_back(std::get<core::OxideFactor>(parsed));
  }
  if (set.factors.empty()) {
    *error = QStringLiteral("%1：[factors] 节没有任何因子。").arg(file);
    return false;
  }
  return true;
}

// A difference or margin as the verdict writes it, one decimal.
QString amount(double v) {
  v = std::abs(v);
  if (v < 0.05) return QStringLiteral("不到 0.1") + kExpansionUnit;
  return QString::fromStdString(core::formatFixed(v, 1, 0)) + kExpansionUnit;
}

QString percentText(double fraction) { return QString::number(fraction * 100, 'g', 3) + u'%'; }

QString explanation(const core::ExpansionResult& r, const QString& file) {
  if (r.missing.empty()) return QStringLiteral("该配比没有任何氧化物，无法计算");
  QStringList noFactor;
  QStringList noWeight;
  for (const std::string& name : r.missing) {
    const bool weightOnly = std::find(r.withoutWeight.begin(), r.withoutWeight.end(), name) != r.withoutWeight.end();
    (weightOnly ? noWeight : noFactor) << QString::fromStdString(name);
  }
  QStringList parts;
  if (!noFactor.isEmpty())
    parts << QStringLiteral("缺少 %1 的膨胀因子（%2）").arg(noFactor.join(QStringLiteral("、")), file);
  if (!noWeight.isEmpty())
    parts << QStringLiteral("%1 在设置文件（%2）中没有可用的分子量，不能换算为摩尔百分数")
                 .arg(noWeight.join(QStringLiteral("、")), shownRelativeName(store::kDataFolderName + u'/' +
                                                                              store::kSettingsFileName));
  return parts.join(QStringLiteral("；")) + QStringLiteral("，无法计算");
}

}  // namespace

QStringList expansionSetNames(const QString& baseFolder) {
  QStringList names;
  for (const auto& f : setFiles(baseFolder)) names << f.first;
  return names;
}

QString expansionSetFileName(const QString& name) {
  return store::kDataFolderName + u'/' + kExpansionFilePrefix + name + kIniSuffix;
}

std::optional<core::FactorSet> loadExpansionSet(const QString& baseFolder, const QString& name, QString* error) {
  const auto files = setFiles(baseFolder);
  const auto it = std::find_if(files.begin(), files.end(), [&](const auto& f) {
    return f.first.compare(name, Qt::CaseInsensitive) == 0;
  });
  if (it == files.end()) {
    QStringList names;
    for (const auto& f : files) names << f.first;
    *error = names.isEmpty()
                 ? QStringLiteral("数据库中没有膨胀系数因子表（%1）。").arg(expansionSetFileName(QStringLiteral("名称")))
                 : QStringLiteral("没有名为“%1”的膨胀系数因子表（%2）；可用的有：%3。")
                       .arg(name, expansionSetFileName(name), names.join(QStringLiteral("、")));
    return std::nullopt;
  }
  const QString shown = expansionSetFileName(it->first);
  const auto content = store::Profile::load(it->second, QStringLiteral("膨胀系数因子表 ") + shown);
  if (!content) {
    *error = content.error();
    return std::nullopt;
  }
  core::FactorSet set;
  set.name = utf8(it->first);
  if (!readSetSection(*content, shown, set, error) || !readFactorSection(*content, shown, set, error))
    return std::nullopt;
  return set;
}

std::optional<double> parseBodyAlpha(const QString& text, QString* error) {
  const std::optional<double> v = core::parseNumber(text.toStdString());
  if (!v || !std::isfinite(*v) || *v <= 0) {
    *error = QStringLiteral("坯的膨胀系数“%1”不可用：应为大于 0 的数（单位 %2）。").arg(text, kExpansionUnit);
    return std::nullopt;
  }
  return *v;
}

std::vector<FormulaExpansion> formulaExpansions(const FitInputs& inputs, const core::FactorSet& set,
                                                std::optional<double> bodyAlpha) {
  const QString file = expansionSetFileName(QString::fromStdString(set.name));
  std::vector<FormulaExpansion> list;
  for (const core::ResultFormula& formula : inputs.formulas) {
    const core::ExpansionResult r = core::computeExpansion(set, formula.contents, inputs.others);
    FormulaExpansion e;
    e.label = QString::fromStdString(formula.label);
    e.alpha = r.alpha;
    for (const core::ExpansionContribution& c : r.contributions)
      e.contributions.push_back(OxideContribution{QString::fromStdString(c.oxide), c.value});
    for (const std::string& name : r.missing) e.missing << QString::fromStdString(name);
    if (!r.alpha) e.explanation = explanation(r, file);
    if (r.alpha && bodyAlpha) e.fit = fitVerdictText(core::judgeFit(*r.alpha, *bodyAlpha));
    list.push_back(std::move(e));
  }
  return list;
}

QString fitVerdictText(const core::FitVerdict& v) {
  const QString margin = QStringLiteral("坯的 %1（%2）").arg(percentText(core::kShiveringFraction), amount(v.shiveringMargin));
  switch (v.kind) {
    case core::FitKind::Crazing:
      return QStringLiteral("釉比坯高 %1：有釉裂的危险（釉的膨胀系数高于坯）").arg(amount(v.difference));
    case core::FitKind::Shivering:
      return QStringLiteral("釉比坯低 %1，超过%2：有剥釉的危险（釉的膨胀系数比坯低得过多）").arg(amount(v.difference), margin);
    case core::FitKind::Fits:
      break;
  }
  if (v.difference == 0) return QStringLiteral("釉与坯的膨胀系数相同：坯釉适应");
  return QStringLiteral("釉比坯低 %1，未超过%2：坯釉适应（釉受轻微压应力）").arg(amount(v.difference), margin);
}

QString fitMarginsText() {
  return QStringLiteral("判断界限：釉的膨胀系数高于坯，有釉裂的危险；低于坯且相差超过坯的膨胀系数的 %1，"
                        "有剥釉的危险；在两者之间为坯釉适应，釉略低于坯时受轻微压应力。")
      .arg(percentText(core::kShiveringFraction));
}

}  // namespace tessaro::app
