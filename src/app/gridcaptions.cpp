#include "app/gridcaptions.h"

#include "store/paths.h"
#include "store/profile.h"

namespace tessaro::app {

namespace {

const QString kMergedK2O = QStringLiteral("K/NaO");
const QString kMergedNa2O = QStringLiteral("***");

// The caption of the column of `field` in `captions` (the captions of `grid`).
QString captionOf(const QStringList& captions, Grid grid, const QString& field) {
  const int column = columnOf(grid, field);
  return column >= 0 && column < captions.size() ? captions[column] : QString();
}

// Where the settings file holds the caption of the column of `field`: the
// formula grid's key, which the target and result grids read for the oxides.
const CaptionKey& captionKey(const QString& field) {
  return gridColumns(Grid::Formula)[std::size_t(columnOf(Grid::Formula, field))].caption;
}

}  // namespace

GridCaptions::GridCaptions(Prompter& prompter, const QString& baseFolder, const ScreenState& state)
    : prompter_(prompter),
      state_(state),
      base_(baseFolder),
      formula_(readCaptions(Grid::Formula, settingsFile())),
      target_(readCaptions(Grid::Target, settingsFile())),
      result_(readCaptions(Grid::Result, settingsFile())) {}

QString GridCaptions::settingsFile() const { return store::settingsFile(base_); }

QString GridCaptions::formulaOther(int k) const {
  return k >= 1 && k <= 3 ? captionOf(formula_, Grid::Formula, otherOxideField(k)) : QString();
}

QString GridCaptions::resultOther(int k) const {
  return k >= 1 && k <= 3 ? captionOf(result_, Grid::Result, otherOxideField(k)) : QString();
}

QString GridCaptions::otherWeight(int k) const {
  return store::Profile::read(settingsFile(), kOtherOxideSection, otherOxideField(k));
}

bool GridCaptions::kNaMergedInSettings() const {
  return captionOf(formula_, Grid::Formula, QStringLiteral("K2O")) == kMergedK2O;
}

bool GridCaptions::writeSetting(const QString& section, const QString& key, const QString& value) {
  const auto written = store::Profile::write(settingsFile(), section, key, value);
  if (written) return true;
  prompter_.error(written.error());
  return false;
}

void GridCaptions::setCaption(const QString& field, const QString& caption) {
  for (auto [grid, captions] :
       {std::pair{Grid::Formula, &formula_}, std::pair{Grid::Target, &target_}, std::pair{Grid::Result, &result_}}) {
    const int column = columnOf(grid, field);
    if (column >= 0 && column < captions->size()) (*captions)[column] = caption;
  }
  state_.changed();
}

bool GridCaptions::writeCaption(const QString& field, const QString& caption) {
  const CaptionKey& key = captionKey(field);
  return writeSetting(key.section, QString::number(key.key), caption);
}

bool GridCaptions::showKNa(bool merged) {
  const QString k2o = merged ? kMergedK2O : QStringLiteral("K2O");
  const QString na2o = merged ? kMergedNa2O : QStringLiteral("Na2O");
  setCaption(QStringLiteral("K2O"), k2o);
  setCaption(QStringLiteral("NA2O"), na2o);
  return writeCaption(QStringLiteral("K2O"), k2o) && writeCaption(QStringLiteral("NA2O"), na2o);
}

bool GridCaptions::selectOtherColumn(int column) {
  if (otherOxideAt(Grid::Formula, column) == 0) return false;
  selectedOther_ = column;
  return true;
}

bool GridCaptions::nameSelectedOther(const QString& caption, const QString& weight) {
  const QString field = otherOxideField(otherOxideAt(Grid::Formula, selectedOther_));
  setCaption(field, caption);
  return writeCaption(field, caption) && writeSetting(kOtherOxideSection, field, weight);
}

bool GridCaptions::chooseOtherOxide(int entry) {
  if (entry < 0 || entry >= int(kOtherOxideMenu.size())) return false;
  if (otherOxideAt(Grid::Formula, selectedOther_) == 0) return false;
  const OtherOxide& chosen = kOtherOxideMenu[std::size_t(entry)];
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
  const int k = otherOxideAt(Grid::Formula, selectedOther_);
  if (k == 0) return false;
  const QString field = otherOxideField(k);
  const CaptionKey& key = captionKey(field);
  // A text the settings file cannot hold is refused before any caption or
  // key changes, so that the grids never show a name the file lacks.
  const QString name = prompter_
                           .inputBox(QStringLiteral("输入氧化物名称。"),
                                     QStringLiteral("注意大小写，它关系到下面的计算。。。...."), kFreeOtherOxide)
                           .value_or(kFreeOtherOxide);
  if (name == kFreeOtherOxide) return nameSelectedOther(kFreeOtherOxide + QString::number(k), QStringLiteral("1"));
  if (!storable(key.section, QString::number(key.key), name, QStringLiteral("氧化物名称"))) return false;
  const QString typed = prompter_
                            .inputBox(QStringLiteral("输入氧化物分子量。"),
                                      QStringLiteral("输入氧化物\"") + name + QStringLiteral("\"分子量。。。...."), QString())
                            .value_or(QString());
  const QString weight = typed.isEmpty() ? QStringLiteral("1") : typed;
  if (!storable(kOtherOxideSection, field, weight, QStringLiteral("分子量"))) return false;
  return nameSelectedOther(name, weight);
}

}  // namespace tessaro::app
