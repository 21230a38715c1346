// The body and glaze property commands of the main screen ("坯性能",
// "釉性能"): the result records read in BH order, the other oxides' names and
// weights, every value checked before the property table is touched, then
// the table rewritten row by row from the layout the arithmetic gives.
#include <QStringList>

#include <exception>
#include <string>

#include "app/mainscreen.h"

#include "app/commandguard.h"
#include "core/format.h"
#include "store/gbk.h"
#include "store/profile.h"

namespace tessaro::app {

using core::FormulaKind;
using store::Table;

namespace {

const QString kOtherSection = QStringLiteral("其它");
const QString kGroupSumLabel = QStringLiteral("一价系数");

QString shownName(const Table& t, const QString& relativeName) {
  const QString shown = t.displayName();
  return shown.isEmpty() ? QString(relativeName).replace(QLatin1Char('\\'), QLatin1Char('/')) : shown;
}

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// Bytes a character takes in the table file; a character GBK cannot hold is
// counted as two and refused before anything is written.
std::size_t gbkBytes(std::string_view character) {
  const auto bytes = store::gbk::encode(QString::fromUtf8(character.data(), qsizetype(character.size())));
  return bytes ? std::size_t(bytes->size()) : 2;
}

}  // namespace

// What a property calculation works on: the result records in BH order (one
// or two) and the three other oxides.
struct MainScreen::PropertyInputs {
  std::vector<core::ResultFormula> formulas;
  core::OtherOxides others;
};

std::optional<MainScreen::PropertyInputs> MainScreen::readPropertyInputs() {
  if (!require({}, {WorkTable::Result})) return std::nullopt;
  Table& result = table(WorkTable::Result);
  const QString resultName = shownName(result, kResultTableName);
  if (!result.setOrder(QStringLiteral("BH"))) {
    fail(result.errorString());
    return std::nullopt;
  }
  const int count = result.recordCount();
  if (count == 0) {
    prompter_.message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                       QStringLiteral("表3中没有计算结果，") + kCR + QStringLiteral("请先进行配方计算或验算组成。"),
                       {Button::Ok}, Button::Ok});
    return std::nullopt;
  }
  if (count > 2) {
    fail(QStringLiteral("数据表 %1 中有 %2 条结果记录，性能表只能容纳两个配方。").arg(resultName).arg(count) + kCR +
         QStringLiteral("请重新进行配方计算或验算组成。"));
    return std::nullopt;
  }

  PropertyInputs in;
  const Table::Bookmark here = result.bookmark();
  if (!result.first()) {
    fail(result.errorString());
    return std::nullopt;
  }
  while (!result.eof()) {
    bool ok = true;
    const QString label = result.text(QStringLiteral("BH"), &ok);
    if (!ok) {
      fail(result.errorString());
      return std::nullopt;
    }
    core::ResultFormula f{label.toStdString(), {}};
    for (int m = 0; m < core::kOxideCount; ++m) {
      const auto& name = core::kOxideFields[std::size_t(m)];
      const QString column = QString::fromLatin1(name.data(), qsizetype(name.size()));
      const auto v = result.value(column, &ok);
      if (!ok) {
        fail(QStringLiteral("数据表 %1 中结果记录“%2”的“%3”栏不是数字，命令已停止。").arg(resultName, label, column));
        return std::nullopt;
      }
      f.contents[std::size_t(m)] = v.value_or(0.0);  // an empty value counts as 0
    }
    in.formulas.push_back(std::move(f));
    if (!result.next()) {
      fail(result.errorString());
      return std::nullopt;
    }
  }
  if (here.isValid()) result.gotoBookmark(here);  // reading moves no cursor

  for (int k = 0; k < 3; ++k) {
    core::OtherOxide& other = in.others[std::size_t(k)];
    other.name = resultCaptions_[10 + k].toStdString();  // the result grid's QTCF1..QTCF3 titles
    const QString key = QStringLiteral("QTCF%1").arg(k + 1);
    const QString text = store::Profile::read(settingsFile(), kOtherSection, key).trimmed();
    if (text.isEmpty()) continue;  // no weight: the arithmetic refuses it if the oxide takes part
    other.weight = core::parseNumber(text.toStdString());
    if (other.weight || !core::otherOxideKind(other.name)) continue;
    for (const core::ResultFormula& f : in.formulas) {
      if (f.contents[std::size_t(core::QTCF1 + k)] == 0) continue;
      prompter_.information(QStringLiteral("%1的分子量“%2”不是数字，无法计算。").arg(fromStd(other.name), text) +
                            kCR + QStringLiteral("请重新设置") + fromStd(other.name) + QStringLiteral("分子量。"));
      return std::nullopt;
    }
  }
  return in;
}

bool MainScreen::computeProperties(FormulaKind kind) {
  return guarded(prompter_, [&]() -> bool {
    if (!require({WorkTable::Property}, {WorkTable::Result})) return false;
    if (!PanDuanQT()) return false;
    const auto in = readPropertyInputs();
    if (!in) return false;
    Table& result = table(WorkTable::Result);
    Table& property = table(WorkTable::Property);
    const QString propertyName = shownName(property, kPropertyTableName);

    // Values are worked out unrounded, the group sums and the acidity
    // coefficients from the unrounded coefficients; the table then rounds
    // each once to the decimals of its field. So the normalising column sums
    // to exactly 1, and body and glaze give the same acidity coefficient.
    core::PropertyOptions options;
    options.charBytes = gbkBytes;
    const std::optional<core::ResultFormula> second =
        in->formulas.size() > 1 ? std::optional(in->formulas[1]) : std::nullopt;
    const core::PropertyOutcome outcome =
        core::computeProperties(kind, in->formulas[0], second, in->others, options);
    if (!outcome.ok()) {
      const QString text = fromStd(outcome.refusal->message);
      if (outcome.refusal->reason == core::PropertyRefusal::Reason::MissingWeight) {
        prompter_.information(text);  // as the weight check says it
      } else {
        prompter_.warning(text);
      }
      return false;
    }

    // Every field must exist and take its value, so that writing cannot stop halfway.
    for (const core::PropertyRow& row : outcome.rows) {
      for (const core::PropertyField& f : core::propertyFields(row)) {
        const QString field = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
        const int index = property.fieldIndex(field);
        if (index < 0) return fail(QStringLiteral("数据表 %1 没有字段 %2，无法写入性能。").arg(propertyName, field));
        const store::dbf::Field& desc = property.fieldAt(index);
        if (f.text) {
          if (desc.type != 'C') {
            return fail(QStringLiteral("数据表 %1 的字段 %2 不是文字字段，无法写入性能。").arg(propertyName, field));
          }
          if (const auto encoded = store::gbk::encode(fromStd(*f.text)); !encoded) {
            return fail(QStringLiteral("“%1”中的字符“%2”不能保存在数据表 %3 中（GBK 编码没有这个字符），")
                            .arg(fromStd(*f.text), encoded.error(), propertyName) +
                        kCR + QStringLiteral("请重新命名这个氧化物。"));
          }
        }
        if (f.number) {
          if (!desc.isNumeric()) {
            return fail(QStringLiteral("数据表 %1 的字段 %2 不是数字字段，无法写入性能。").arg(propertyName, field));
          }
          if (core::formatFixed(*f.number, desc.decimals, desc.length).size() > std::size_t(desc.length)) {
            return fail(QStringLiteral("数据表 %1 的字段 %2 放不下数值 %3（宽 %4，小数 %5 位），")
                            .arg(propertyName, field, fromStd(core::formatGeneral(*f.number)))
                            .arg(desc.length)
                            .arg(desc.decimals) +
                        kCR + QStringLiteral("请检查其它氧化物的分子量。"));
          }
        }
      }
    }

    {
      store::SuspendedDisplay quiet(property);
      auto stop = [&] {
        const QString why = property.errorString();
        property.cancel();
        property.first();
        while (property.recordCount() > 0 && property.deleteRecord()) {
        }
        return fail(why);
      };
      if (!property.first()) return fail(property.errorString());
      while (property.recordCount() > 0) {
        if (!property.deleteRecord()) return fail(property.errorString());
      }
      for (const core::PropertyRow& row : outcome.rows) {
        if (!property.append()) return stop();
        for (const core::PropertyField& f : core::propertyFields(row)) {
          const QString field = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
          if (f.text && !property.setText(field, fromStd(*f.text))) return stop();
          if (f.number && !property.setNumber(field, *f.number)) return stop();
        }
        if (!property.post()) return stop();
      }
      if (!property.first()) return fail(property.errorString());
    }
    if (!result.last()) return fail(result.errorString());

    if (!outcome.notice.empty()) prompter_.information(fromStd(outcome.notice));
    propertyVisible_ = true;
    propertyPanelHeight_ = outcome.panelHeight();
    frame_.propertiesComputed();
    return true;
  });
}

std::optional<core::SideProperties> MainScreen::workOutSide(FormulaKind kind, const QString& side) {
  return guarded(prompter_, [&]() -> std::optional<core::SideProperties> {
    if (side != QLatin1String("0") && side != QLatin1String("1")) return std::nullopt;
    const auto in = readPropertyInputs();
    if (!in) return std::nullopt;
    const std::size_t n = side == QLatin1String("1") ? 1 : 0;
    if (n >= in->formulas.size()) {
      fail(QStringLiteral("表3中没有第 %1 个结果记录。").arg(n + 1));
      return std::nullopt;
    }
    auto worked = core::computeSide(kind, in->formulas[n], int(n), in->others);
    if (const auto* refused = std::get_if<core::PropertyRefusal>(&worked)) {
      prompter_.information(fromStd(refused->message));
      return std::nullopt;
    }
    return std::get<core::SideProperties>(std::move(worked));
  });
}

std::array<std::optional<double>, 3> MainScreen::ERO(const QString& side) {
  std::array<std::optional<double>, 3> sums;
  if ((side != QLatin1String("0") && side != QLatin1String("1")) || !isOpen(WorkTable::Property)) return sums;
  Table& property = table(WorkTable::Property);
  if (property.state() != Table::State::Browse) return sums;
  const Table::Bookmark here = property.bookmark();
  if (!property.first()) return sums;
  while (!property.eof()) {
    if (property.text(QStringLiteral("RONAME0")) == kGroupSumLabel ||
        property.text(QStringLiteral("RONAME1")) == kGroupSumLabel) {
      if (property.text(QStringLiteral("RONAME") + side) == kGroupSumLabel) {
        sums = {property.value(QStringLiteral("RO") + side), property.value(QStringLiteral("R2O3") + side),
                property.value(QStringLiteral("RO2") + side)};
      }
      break;
    }
    if (!property.next()) break;
  }
  if (here.isValid()) property.gotoBookmark(here);
  return sums;
}

std::vector<core::PropertyRowColours> MainScreen::propertyRowColours() {
  std::vector<core::PropertyRowColours> rows;
  if (!isOpen(WorkTable::Property)) return rows;
  Table& property = table(WorkTable::Property);
  if (property.state() != Table::State::Browse) return rows;
  const Table::Bookmark here = property.bookmark();
  if (!property.first()) return rows;
  while (!property.eof()) {
    const std::string ro0 = property.text(QStringLiteral("RONAME0")).toStdString();
    const std::string ro1 = property.text(QStringLiteral("RONAME1")).toStdString();
    rows.push_back(core::propertyRowColours(core::propertyRowStyle(ro0, ro1)));
    if (!property.next()) break;
  }
  if (here.isValid()) property.gotoBookmark(here);
  return rows;
}

}  // namespace tessaro::app
