#include "app/batchsheet.h"

#include <QStringList>

#include "app/csvfile.h"
#include "core/format.h"

namespace tessaro::app {

namespace {

const QString kWeightField = QStringLiteral("批料重量");
const QString kWaterField = QStringLiteral("含水率");

// The number a field holds; no value, with the sentence, when it holds none.
std::optional<double> fieldNumber(const QString& text, const QString& field, const QString& hint, QString* error) {
  if (text.trimmed().isEmpty()) {
    if (error) *error = QStringLiteral("请输入%1（%2）。").arg(field, hint);
    return std::nullopt;
  }
  const auto v = core::parseNumber(text.toStdString());
  if (!v) {
    if (error) *error = QStringLiteral("%1“%2”不是数字，请输入%3。").arg(field, text.trimmed(), hint);
    return std::nullopt;
  }
  return v;
}

QString text(double value, int decimals) { return QString::fromStdString(core::formatFixed(value, decimals, 0)); }

}  // namespace

std::optional<BatchRequest> parseBatchRequest(const QString& weightText, const QString& waterText, QString* error) {
  const auto weight = fieldNumber(weightText, kWeightField, QStringLiteral("千克数，例如 100"), error);
  if (!weight) return std::nullopt;
  if (!(*weight > 0)) {
    if (error) *error = QStringLiteral("%1必须大于 0 千克。").arg(kWeightField);
    return std::nullopt;
  }
  if (*weight > kMaxBatchKg) {
    if (error) *error = QStringLiteral("%1不能超过 %2 千克（100 吨）。").arg(kWeightField).arg(kMaxBatchKg, 0, 'f', 0);
    return std::nullopt;
  }
  const auto water =
      fieldNumber(waterText, kWaterField, QStringLiteral("占浆料总重的百分数，例如 35，不加水时为 0"), error);
  if (!water) return std::nullopt;
  if (*water < 0) {
    if (error) *error = QStringLiteral("%1不能小于 0%。").arg(kWaterField);
    return std::nullopt;
  }
  if (!(*water < 100)) {
    if (error) *error = QStringLiteral("%1必须小于 100%（按浆料总重计）。").arg(kWaterField);
    return std::nullopt;
  }
  return BatchRequest{*weight, *water};
}

std::optional<BatchSheet> makeBatchSheet(const FitInputs& inputs, const BatchRequest& request, QString* error) {
  BatchSheet sheet;
  sheet.request = request;
  if (inputs.target) sheet.target = QString::fromStdString(inputs.target->label);
  for (int k = 1; k <= 2; ++k) {
    const QString label = formulaLabel(k);
    bool held = false;
    for (const core::ResultFormula& f : inputs.formulas)
      held = held || QString::fromStdString(f.label).trimmed() == label;
    if (!held) continue;
    std::vector<core::BatchInput> materials;
    for (const FitMaterial& m : inputs.materials) materials.push_back({m.name.toStdString(), m.proportion(k), m.price});
    sheet.formulas.push_back(
        core::batchFormula(label.toStdString(), materials, request.weightKg, request.waterPercent));
  }
  if (sheet.formulas.empty()) {
    if (error) *error = QStringLiteral("表3中没有计算结果，请先进行配方计算或验算组成。");
    return std::nullopt;
  }
  return sheet;
}

QString batchKgText(double kg) { return text(kg, core::kBatchKgDecimals); }
QString batchCostText(double yuan) { return text(yuan, core::kBatchCostDecimals); }
QString batchPercentText(double percent) { return text(percent, core::kBatchPercentDecimals); }
QString batchPriceText(double yuanPerTonne) { return text(yuanPerTonne, core::kBatchPriceDecimals); }

std::vector<BatchRow> batchRows(const core::BatchFormula& f) {
  std::vector<BatchRow> rows;
  for (const core::BatchLine& l : f.lines) {
    rows.push_back({{QString::fromStdString(l.name), batchPercentText(l.proportion), batchKgText(l.kg),
                     batchPriceText(l.price), batchCostText(l.cost)}});
  }
  if (f.lines.empty()) rows.push_back({{QStringLiteral("（此配方没有配比）")}});
  rows.push_back({{QStringLiteral("干料合计"), batchPercentText(f.proportion), batchKgText(f.dryKg)}, true});
  rows.push_back({{QStringLiteral("加水"), QString(), batchKgText(f.waterKg)}, true});
  rows.push_back({{QStringLiteral("浆料合计"), QString(), batchKgText(f.wetKg())}, true});
  rows.push_back({{QStringLiteral("成本"), QString(), QString(), QString(), batchCostText(f.cost)}, true});
  return rows;
}

QByteArray batchCsv(const BatchSheet& sheet) {
  std::string out;
  appendCsvRow(out, {QStringLiteral("配方"), QStringLiteral("原料名称"), QStringLiteral("配比(%)"),
                     QStringLiteral("重量(kg)"), QStringLiteral("单价(元/吨)"), QStringLiteral("金额(元)")});
  for (const core::BatchFormula& f : sheet.formulas) {
    const QString label = QString::fromStdString(f.label);
    for (const core::BatchLine& l : f.lines) {
      appendCsvRow(out, {label, QString::fromStdString(l.name), batchPercentText(l.proportion), batchKgText(l.kg),
                         batchPriceText(l.price), batchCostText(l.cost)});
    }
    appendCsvRow(out, {label, QStringLiteral("干料合计"), batchPercentText(f.proportion), batchKgText(f.dryKg), {}, {}});
    appendCsvRow(out, {label, QStringLiteral("水"), {}, batchKgText(f.waterKg), {}, {}});
    appendCsvRow(out, {label, QStringLiteral("浆料合计"), {}, batchKgText(f.wetKg()), {}, {}});
    appendCsvRow(out, {label, QStringLiteral("合计金额"), {}, {}, {}, batchCostText(f.cost)});
  }
  return csvFileBytes(out);
}

bool writeBatchCsv(const QString& path, const BatchSheet& sheet, QString* error) {
  return writeCsvFile(path, batchCsv(sheet), error);
}

}  // namespace tessaro::app
