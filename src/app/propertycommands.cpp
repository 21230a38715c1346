#include "app/propertycommands.h"

#include <string>

#include "core/format.h"
#include "core/oxidegroups.h"
#include "store/gbk.h"

namespace tessaro::app {

using core::FormulaKind;
using store::Table;

namespace {

// The label of the row that holds the sums of the groups.
const QString kGroupSumLabel = QString::fromStdString(std::string(core::kGroupSumLabels[0]));

// Bytes a character takes in the table file; a character GBK cannot hold is
// counted as two and refused before anything is written.
std::size_t gbkBytes(std::string_view character) {
  const auto bytes = store::gbk::encode(QString::fromUtf8(character.data(), qsizetype(character.size())));
  return bytes ? std::size_t(bytes->size()) : 2;
}

bool isSide(const QString& side) { return side == QLatin1String("0") || side == QLatin1String("1"); }

}  // namespace

// --- Reading ---------------------------------------------------------------------------------

bool PropertyCommands::readResultRecord(Inputs& in) {
  Table& result = tables_.table(WorkTable::Result);
  bool ok = true;
  const QString label = result.text(QStringLiteral("BH"), &ok);
  if (!ok) return tables_.engine(result);
  core::ResultFormula f{label.toStdString(), {}};
  for (int m = 0; m < core::kOxideCount; ++m) {
    const QString column = fieldName(core::kOxideFields[std::size_t(m)]);
    const auto v = result.value(column, &ok);
    if (!ok) {
      return tables_.fail(QStringLiteral("数据表 %1 中结果记录“%2”的“%3”栏不是数字，命令已停止。")
                              .arg(shownTableName(result, kResultTableName), label, column));
    }
    f.contents[std::size_t(m)] = v.value_or(0.0);  // an empty value counts as 0
  }
  in.formulas.push_back(std::move(f));
  return true;
}

bool PropertyCommands::readOtherOxides(Inputs& in) {
  for (int k = 0; k < 3; ++k) {
    core::OtherOxide& other = in.others[std::size_t(k)];
    other.name = captions_.resultOther(k + 1).toStdString();
    const QString text = captions_.otherWeight(k + 1).trimmed();
    if (text.isEmpty()) continue;  // no weight: the arithmetic refuses it if the oxide takes part
    other.weight = core::parseNumber(text.toStdString());
    if (other.weight || !core::otherOxideKind(other.name)) continue;
    for (const core::ResultFormula& f : in.formulas) {
      if (f.contents[std::size_t(core::QTCF1 + k)] == 0) continue;
      tables_.prompter().information(QStringLiteral("%1的分子量“%2”不是数字，无法计算。").arg(QString::fromStdString(other.name), text) +
                                     kCR + QStringLiteral("请重新设置") + QString::fromStdString(other.name) +
                                     QStringLiteral("分子量。"));
      return false;
    }
  }
  return true;
}

std::optional<PropertyCommands::Inputs> PropertyCommands::readInputs() {
  if (!tables_.require({}, {WorkTable::Result})) return std::nullopt;
  Table& result = tables_.table(WorkTable::Result);
  if (!result.setOrder(QStringLiteral("BH"))) return tables_.engine(result), std::nullopt;
  const int count = result.recordCount();
  if (count == 0) {
    tables_.prompter().message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                                QStringLiteral("表3中没有计算结果，") + kCR + QStringLiteral("请先进行配方计算或验算组成。"),
                                {Button::Ok}, Button::Ok});
    return std::nullopt;
  }
  if (count > 2) {
    tables_.fail(QStringLiteral("数据表 %1 中有 %2 条结果记录，性能表只能容纳两个配方。")
                     .arg(shownTableName(result, kResultTableName))
                     .arg(count) +
                 kCR + QStringLiteral("请重新进行配方计算或验算组成。"));
    return std::nullopt;
  }
  Inputs in;
  // Reading moves no cursor.
  if (!tables_.forEachKeepingPlace(result, [&] { return readResultRecord(in); })) return std::nullopt;
  if (!readOtherOxides(in)) return std::nullopt;
  return in;
}

// --- Writing ---------------------------------------------------------------------------------

bool PropertyCommands::checkField(const core::PropertyField& f, const QString& propertyName) {
  const Table& property = tables_.table(WorkTable::Property);
  const QString field = fieldName(f.name);
  const int index = property.fieldIndex(field);
  if (index < 0) return tables_.fail(QStringLiteral("数据表 %1 没有字段 %2，无法写入性能。").arg(propertyName, field));
  const store::dbf::Field& desc = property.fieldAt(index);
  if (f.text) {
    if (desc.type != 'C') {
      return tables_.fail(QStringLiteral("数据表 %1 的字段 %2 不是文字字段，无法写入性能。").arg(propertyName, field));
    }
    if (const auto encoded = store::gbk::encode(QString::fromStdString(*f.text)); !encoded) {
      return tables_.fail(QStringLiteral("“%1”中的字符“%2”不能保存在数据表 %3 中（GBK 编码没有这个字符），")
                              .arg(QString::fromStdString(*f.text), encoded.error(), propertyName) +
                          kCR + QStringLiteral("请重新命名这个氧化物。"));
    }
  }
  if (f.number) {
    if (!desc.isNumeric()) {
      return tables_.fail(QStringLiteral("数据表 %1 的字段 %2 不是数字字段，无法写入性能。").arg(propertyName, field));
    }
    if (core::formatFixed(*f.number, desc.decimals, desc.length).size() > std::size_t(desc.length)) {
      return tables_.fail(QStringLiteral("数据表 %1 的字段 %2 放不下数值 %3（宽 %4，小数 %5 位），")
                              .arg(propertyName, field, QString::fromStdString(core::formatGeneral(*f.number)))
                              .arg(desc.length)
                              .arg(desc.decimals) +
                          kCR + QStringLiteral("请检查其它氧化物的分子量。"));
    }
  }
  return true;
}

bool PropertyCommands::checkFields(const core::PropertyOutcome& outcome) {
  const QString propertyName = shownTableName(tables_.table(WorkTable::Property), kPropertyTableName);
  for (const core::PropertyRow& row : outcome.rows) {
    for (const core::PropertyField& f : core::propertyFields(row)) {
      if (!checkField(f, propertyName)) return false;
    }
  }
  return true;
}

bool PropertyCommands::writeRows(const core::PropertyOutcome& outcome) {
  Table& property = tables_.table(WorkTable::Property);
  store::SuspendedDisplay quiet(property);
  // A failure half-way leaves the table empty rather than half written.
  auto stop = [&] {
    const QString why = property.errorString();
    property.cancel();
    property.first();
    while (property.recordCount() > 0 && property.deleteRecord()) {
    }
    return tables_.fail(why);
  };
  if (!tables_.deleteAll(property)) return false;
  for (const core::PropertyRow& row : outcome.rows) {
    if (!property.append()) return stop();
    for (const core::PropertyField& f : core::propertyFields(row)) {
      const QString field = fieldName(f.name);
      if (f.text && !property.setText(field, QString::fromStdString(*f.text))) return stop();
      if (f.number && !property.setNumber(field, *f.number)) return stop();
    }
    if (!property.post()) return stop();
  }
  return property.first() || tables_.engine(property);
}

// --- Commands --------------------------------------------------------------------------------

bool PropertyCommands::computeProperties(FormulaKind kind) {
  if (!tables_.require({WorkTable::Property}, {WorkTable::Result})) return false;
  if (!PanDuanQT()) return false;
  const auto in = readInputs();
  if (!in) return false;
  // Values are worked out unrounded, the group sums and the acidity
  // coefficients from the unrounded coefficients; the table then rounds
  // each once to the decimals of its field. So the normalising column sums
  // to exactly 1, and body and glaze give the same acidity coefficient.
  core::PropertyOptions options;
  options.charBytes = gbkBytes;
  const std::optional<core::ResultFormula> second =
      in->formulas.size() > 1 ? std::optional(in->formulas[1]) : std::nullopt;
  const core::PropertyOutcome outcome = core::computeProperties(kind, in->formulas[0], second, in->others, options);
  if (!outcome.ok()) {
    const QString text = QString::fromStdString(outcome.refusal->message);
    if (outcome.refusal->reason == core::PropertyRefusal::Reason::MissingWeight) {
      tables_.prompter().information(text);  // as the weight check says it
    } else {
      tables_.prompter().warning(text);
    }
    return false;
  }
  if (!checkFields(outcome) || !writeRows(outcome)) return false;
  Table& result = tables_.table(WorkTable::Result);
  if (!result.last()) return tables_.engine(result);
  if (!outcome.notice.empty()) tables_.prompter().information(QString::fromStdString(outcome.notice));
  state_.setPropertyVisible(true);
  frame_.propertiesComputed();
  return true;
}

std::optional<core::SideProperties> PropertyCommands::workOutSide(FormulaKind kind, const QString& side) {
  if (!isSide(side)) return std::nullopt;
  const auto in = readInputs();
  if (!in) return std::nullopt;
  const std::size_t n = side == QLatin1String("1") ? 1 : 0;
  if (n >= in->formulas.size()) {
    tables_.fail(QStringLiteral("表3中没有第 %1 个结果记录。").arg(n + 1));
    return std::nullopt;
  }
  auto worked = core::computeSide(kind, in->formulas[n], int(n), in->others);
  if (const auto* refused = std::get_if<core::PropertyRefusal>(&worked)) {
    tables_.prompter().information(QString::fromStdString(refused->message));
    return std::nullopt;
  }
  return std::get<core::SideProperties>(std::move(worked));
}

bool PropertyCommands::PanDuanQT() {
  if (!tables_.isOpen(WorkTable::Result)) return true;
  Table& result = tables_.table(WorkTable::Result);
  if (result.isEmpty()) return true;
  for (int k = 1; k <= 3; ++k) {
    bool ok = true;
    const auto v = result.value(otherOxideField(k), &ok);
    if (!ok || v.value_or(0.0) == 0) continue;
    if (!captions_.otherWeight(k).isEmpty()) continue;
    const QString caption = captions_.resultOther(k);
    // Only a name that makes an oxide of it takes part in the properties.
    if (!core::otherOxideKind(caption.toStdString())) continue;
    tables_.prompter().information(QStringLiteral("请设置") + caption + QStringLiteral("分子量。"));
    return false;
  }
  return true;
}

std::array<std::optional<double>, 3> PropertyCommands::ERO(const QString& side) {
  std::array<std::optional<double>, 3> sums;
  if (!isSide(side) || !tables_.isOpen(WorkTable::Property)) return sums;
  Table& property = tables_.table(WorkTable::Property);
  if (property.state() != Table::State::Browse) return sums;
  auto label = [&](const QString& column) { return property.text(column) == kGroupSumLabel; };
  tables_.forEachKeepingPlace(
      property,
      [&] {
        if (!label(QStringLiteral("RONAME0")) && !label(QStringLiteral("RONAME1"))) return true;
        if (label(QStringLiteral("RONAME") + side)) {
          sums = {property.value(QStringLiteral("RO") + side), property.value(QStringLiteral("R2O3") + side),
                  property.value(QStringLiteral("RO2") + side)};
        }
        return false;  // the first group-sum row is the only one
      },
      {.reported = false});
  return sums;
}

}  // namespace tessaro::app
