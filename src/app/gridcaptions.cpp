#include "app/gridcaptions.h"

#include "store/paths.h"
#include "store/profile.h"

namespace tessaro::app {

namespace {

const QString kCalculationSection = QStringLiteral("配方");
const QString kTargetSection = QStringLiteral("目标配方");
const QString kResultSection = QStringLiteral("结果");
const QString kOtherSection = QStringLiteral("其它");
const QString kMergedK2O = QStringLiteral("K/NaO");
const QString kMergedNa2O = QStringLiteral("***");
const QString kOtherDefault = QStringLiteral("其它");

QString readCaption(const QString& file, const QString& section, int key) {
  return store::Profile::read(file, section, QString::number(key));
}

QString weightKey(int k) { return QStringLiteral("QTCF%1").arg(k); }

bool isOtherColumn(int column) { return column >= kFirstOtherColumn && column <= kLastOtherColumn; }

}  // namespace

QStringList GridCaptions::readFormulaCaptions(const QString& baseFolder) {
  const QString file = store::settingsFile(baseFolder);
  QStringList captions;
  for (int k = 0; k <= 22; ++k) captions << readCaption(file, kCalculationSection, k);
  return captions;
}

GridCaptions::GridCaptions(Prompter& prompter, const QString& baseFolder)
    : prompter_(prompter), base_(baseFolder), formula_(readFormulaCaptions(baseFolder)) {
  const QString file = settingsFile();
  for (int p = 0; p < 20; ++p) target_ << QString();
  for (int k = 0; k <= 3; ++k) target_[k] = readCaption(file, kTargetSection, k);
  for (int k = 6; k <= 16; ++k) target_[k - 2] = readCaption(file, kCalculationSection, k);
  for (int k = 16; k <= 18; ++k) target_[k] = readCaption(file, kTargetSection, k);
  for (int p = 0; p < 21; ++p) result_ << QString();
  for (int k = 0; k <= 1; ++k) result_[k] = readCaption(file, kResultSection, k);
  for (int k = 6; k <= 16; ++k) result_[k - 4] = readCaption(file, kCalculationSection, k);
  for (int k = 13; k <= 15; ++k) result_[k] = readCaption(file, kResultSection, k);
}

QString GridCaptions::settingsFile() const { return store::settingsFile(base_); }

QString GridCaptions::formulaOther(int k) const {
  const int column = kFirstOtherColumn + k - 1;
  return k >= 1 && k <= 3 && column < formula_.size() ? formula_[column] : QString();
}

QString GridCaptions::resultOther(int k) const { return result_[9 + k]; }

QString GridCaptions::otherWeight(int k) const { return store::Profile::read(settingsFile(), kOtherSection, weightKey(k)); }

bool GridCaptions::kNaMergedInSettings() const { return formula_[12] == kMergedK2O; }

bool GridCaptions::writeSetting(const QString& section, const QString& key, const QString& value) {
  const auto written = store::Profile::write(settingsFile(), section, key, value);
  if (written) return true;
  prompter_.error(written.error());
  return false;
}

bool GridCaptions::showKNa(bool merged) {
  const QString k2o = merged ? kMergedK2O : QStringLiteral("K2O");
  const QString na2o = merged ? kMergedNa2O : QStringLiteral("Na2O");
  formula_[12] = k2o;
  formula_[13] = na2o;
  target_[10] = k2o;
  target_[11] = na2o;
  result_[8] = k2o;
  result_[9] = na2o;
  return writeSetting(kCalculationSection, QStringLiteral("12"), k2o) &&
         writeSetting(kCalculationSection, QStringLiteral("13"), na2o);
}

bool GridCaptions::selectOtherColumn(int column) {
  if (!isOtherColumn(column)) return false;
  selectedOther_ = column;
  return true;
}

void GridCaptions::setOtherCaption(int k, const QString& caption) {
  const int s = 13 + k;
  formula_[s] = caption;
  target_[s - 2] = caption;
  result_[s - 4] = caption;
}

bool GridCaptions::nameSelectedOther(const QString& caption, const QString& weight) {
  const int k = selectedOther_ - 13;
  setOtherCaption(k, caption);
  return writeSetting(kCalculationSection, QString::number(selectedOther_), caption) &&
         writeSetting(kOtherSection, weightKey(k), weight);
}

bool GridCaptions::chooseOtherOxide(int entry) {
  if (entry < 0 || entry >= int(kOtherOxideEntries.size())) return false;
  if (!isOtherColumn(selectedOther_)) return false;
  const OtherOxideEntry& chosen = kOtherOxideEntries[std::size_t(entry)];
  return nameSelectedOther(QString::fromUtf16(chosen.name), QString::fromUtf16(chosen.weight));
}

bool GridCaptions::storable(const QString& section, const QString& key, const QString& value, const QString& what) {
  const auto stored = store::Profile::withValue(QByteArray(), section, key, value);
  if (stored) return true;
  prompter_.error(QStringLiteral("%1“%2”不能写入设置文件 %3，命令已停止：").arg(what, value, settingsFile()) + kCR +
                  stored.error());
  return false;
}

bool GridCaptions::enterOtherOxide() {
  if (!isOtherColumn(selectedOther_)) return false;
  const int k = selectedOther_ - 13;
  // A text the settings file cannot hold is refused before any caption or
  // key changes, so that the grids never show a name the file lacks.
  const QString name = prompter_
                           .inputBox(QStringLiteral("输入氧化物名称。"), QStringLiteral("注意大小写，它关系到下面的计算。。。...."),
                                     kOtherDefault)
                           .value_or(kOtherDefault);
  if (name == kOtherDefault) return nameSelectedOther(kOtherDefault + QString::number(k), QStringLiteral("1"));
  if (!storable(kCalculationSection, QString::number(selectedOther_), name, QStringLiteral("氧化物名称"))) return false;
  const QString typed = prompter_
                            .inputBox(QStringLiteral("输入氧化物分子量。"),
                                      QStringLiteral("输入氧化物\"") + name + QStringLiteral("\"分子量。。。...."), QString())
                            .value_or(QString());
  const QString weight = typed.isEmpty() ? QStringLiteral("1") : typed;
  if (!storable(kOtherSection, weightKey(k), weight, QStringLiteral("分子量"))) return false;
  return nameSelectedOther(name, weight);
}

}  // namespace tessaro::app
