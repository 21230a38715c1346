#include "app/gridcolumns.h"

#include "core/composition.h"
#include "core/propertytable.h"
#include "store/profile.h"

namespace tessaro::app {

using namespace palette;

namespace {

GridColumn column(const QString& field, int width, std::optional<Colour> cell = {}, std::optional<Colour> title = {},
                  bool titleCentred = false) {
  GridColumn c;
  c.field = field;
  c.width = width;
  c.cell = cell;
  c.title = title;
  c.titleCentred = titleCentred;
  return c;
}

GridColumn hidden(const QString& field) { return column(field, 0); }

// The marks "选" of the formula and target grids.
void addMarks(std::vector<GridColumn>& cols, bool titleCentred) {
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) {
    GridColumn m = column(QString::fromLatin1(f), 44, kLightGreen, kMoneyGreen, titleCentred);
    m.align = Align::Centre;
    cols.push_back(m);
  }
}

// The oxides of the formula and target grids; FE2O3 and TIO2 in grey text,
// with grey title text in the formula grid only.
void addOxides(std::vector<GridColumn>& cols, bool greyTitles) {
  for (const QString& o : oxideFields()) {
    GridColumn c = column(o, 44, kLightBlue, kSkyBlue, true);
    if (o == QLatin1String("FE2O3") || o == QLatin1String("TIO2")) {
      c.text = kGrey;
      if (greyTitles) c.titleText = kGrey;
    }
    cols.push_back(c);
  }
}

std::vector<GridColumn> formulaColumns() {
  std::vector<GridColumn> c;
  GridColumn name = column("NAME", 94, {}, kBlue);
  name.titleText = kWhite;
  c.push_back(name);
  for (const char* f : {"NUM1", "NUM2"}) {
    GridColumn n = column(QString::fromLatin1(f), 44, kPink, kFuchsia, true);
    n.text = kNavy;
    n.bold = true;
    c.push_back(n);
  }
  addMarks(c, true);
  addOxides(c, true);
  c.push_back(hidden("IL"));
  c.push_back(hidden("HJ"));
  c.push_back(column("DJ", 44, kLightYellow, kPaleYellow, true));
  c.push_back(column("BZ", -1, {}, {}, true));
  c.push_back(column("DATE", 86));
  c.push_back(hidden("BH"));
  for (int k = 0; k < int(c.size()); ++k) c[std::size_t(k)].caption = {kFormulaSection, k, {}};
  return c;
}

// The title of a target or result column: the oxides take the formula
// grid's titles, the others their own grid's section under their position.
CaptionKey ownOrFormulaCaption(const QString& section, const QString& field, int position) {
  const int f = columnOf(Grid::Formula, field);
  if (oxideFields().contains(field)) return {kFormulaSection, f, {}};
  return {section, position, {}};
}

std::vector<GridColumn> targetColumns() {
  std::vector<GridColumn> c;
  GridColumn name = column("NAME", 185, {}, kNavy);
  name.titleText = kWhite;
  c.push_back(name);
  addMarks(c, false);
  addOxides(c, false);
  c.push_back(hidden("IL"));
  c.push_back(column("HJ", 44));
  c.push_back(column("BZ", -1));
  c.push_back(column("DATE", 86));
  c.push_back(hidden("BH"));
  for (int k = 0; k < int(c.size()); ++k) {
    GridColumn& col = c[std::size_t(k)];
    if (col.field != QLatin1String("IL") && col.field != QLatin1String("BH")) {
      col.caption = ownOrFormulaCaption(kTargetSection, col.field, k);
    }
  }
  return c;
}

std::vector<GridColumn> resultColumns() {
  std::vector<GridColumn> c;
  GridColumn bh = column("BH", 185, {}, kFuchsia);
  bh.align = Align::Centre;
  c.push_back(bh);
  GridColumn dj = column("DJ", 134, kLightYellow, kPaleYellow);
  dj.align = Align::Centre;
  c.push_back(dj);
  for (const QString& o : oxideFields()) c.push_back(column(o, 44, kPink, kFuchsia));
  c.push_back(column("HJ", 44, {}, kFuchsia));
  c.push_back(column("BZ", -1));
  c.push_back(column("DATE", 86));
  const int shown = int(c.size());
  for (const char* f : {"IL", "BXL1", "BXL2", "BXL3", "NAME"}) c.push_back(hidden(QString::fromLatin1(f)));
  for (int k = 0; k < shown; ++k) c[std::size_t(k)].caption = ownOrFormulaCaption(kResultSection, c[std::size_t(k)].field, k);
  return c;
}

std::vector<GridColumn> propertyColumns() {
  std::vector<GridColumn> c;
  for (int side = 0; side < 2; ++side) {
    const QString s = QString::number(side);
    GridColumn name = column("NAME" + s, 120, kLightGreen);
    name.align = Align::Centre;
    name.caption.fixed = QStringLiteral("名称");
    c.push_back(name);
    for (const char* g : {"RO", "R2O3", "RO2"}) {
      const QString group = QString::fromLatin1(g);
      GridColumn label = column(group + "NAME" + s, group == QLatin1String("R2O3") ? 80 : -1);
      label.align = Align::Right;
      label.text = kBlue;
      label.bold = true;
      label.caption.fixed = QStringLiteral("氧化物名");
      c.push_back(label);
      GridColumn value = column(group + s, -1);
      value.caption.fixed = QStringLiteral("系数");
      c.push_back(value);
    }
  }
  return c;
}

std::vector<GridColumn> libraryColumns(bool materials) {
  std::vector<GridColumn> c;
  GridColumn bh = column("BH", materials ? 26 : 44, {}, kSkyBlue, true);
  bh.align = materials ? Align::Centre : Align::ByType;
  c.push_back(bh);
  GridColumn name = column("NAME", 118, kNameCell, {}, true);
  if (!materials) name.text = kNavy;
  c.push_back(name);
  for (const QString& o : oxideFields()) c.push_back(column(o, 44, {}, kSkyBlue, true));
  c.push_back(column("IL", 44, {}, {}, true));
  c.push_back(column("HJ", 44, {}, kFuchsia, true));
  if (materials) {
    c.push_back(column("DJ", 44, {}, kPriceTitle, true));
    c.push_back(column("BZ", 240));
    c.push_back(column("DATE", 112));
  } else {
    c.push_back(column("BZ", 310));
    c.push_back(column("DATE", 86));
  }
  const QString& section = materials ? kMaterialLibrarySection : kTargetLibrarySection;
  for (int k = 0; k < int(c.size()); ++k) {
    GridColumn& col = c[std::size_t(k)];
    if (col.align == Align::Left) col.align = Align::ByType;
    col.caption = {section, k, {}};
  }
  return c;
}

}  // namespace

const QStringList& oxideFields() {
  static const QStringList fields = [] {
    QStringList f;
    for (auto o : core::kOxideFields) f << QString::fromLatin1(o.data(), qsizetype(o.size()));
    return f;
  }();
  return fields;
}

QString otherOxideField(int k) { return QStringLiteral("QTCF%1").arg(k); }

int otherOxideAt(Grid grid, int column) {
  if (column < 0) return 0;
  for (int k = 1; k <= 3; ++k) {
    if (columnOf(grid, otherOxideField(k)) == column) return k;
  }
  return 0;
}

const std::vector<GridColumn>& gridColumns(Grid grid) {
  // Each grid's list is made on first use; the target and result grids read
  // the formula grid's while theirs is made.
  switch (grid) {
    case Grid::Formula: {
      static const std::vector<GridColumn> formula = formulaColumns();
      return formula;
    }
    case Grid::Target: {
      static const std::vector<GridColumn> target = targetColumns();
      return target;
    }
    case Grid::Result: {
      static const std::vector<GridColumn> result = resultColumns();
      return result;
    }
    case Grid::Property: {
      static const std::vector<GridColumn> property = propertyColumns();
      return property;
    }
    case Grid::MaterialLibrary: {
      static const std::vector<GridColumn> materials = libraryColumns(true);
      return materials;
    }
    case Grid::TargetLibrary: break;
  }
  static const std::vector<GridColumn> targets = libraryColumns(false);
  return targets;
}

int columnOf(Grid grid, const QString& field) {
  const std::vector<GridColumn>& cols = gridColumns(grid);
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (cols[i].field.compare(field, Qt::CaseInsensitive) == 0) return int(i);
  }
  return -1;
}

QString fieldAt(Grid grid, int column) {
  const std::vector<GridColumn>& cols = gridColumns(grid);
  return column >= 0 && std::size_t(column) < cols.size() ? cols[std::size_t(column)].field : QString();
}

namespace {

// k for the field `prefix`k, k in 1..last; 0 otherwise.
int numbered(const QString& field, QLatin1StringView prefix, int last) {
  if (field.size() != prefix.size() + 1 || !field.startsWith(prefix)) return 0;
  const int k = field.back().digitValue();
  return k >= 1 && k <= last ? k : 0;
}

}  // namespace

int proportionFormula(const QString& field) { return numbered(field, QLatin1StringView("NUM"), 2); }

int mandatoryMark(const QString& field) { return numbered(field, QLatin1StringView("BXL"), 3); }

QStringList readCaptions(Grid grid, const QString& settingsFile) {
  const QByteArray content = store::Profile::contentOf(settingsFile);
  QStringList captions;
  for (const GridColumn& c : gridColumns(grid)) {
    if (c.caption.fromSettings()) {
      captions << store::Profile::valueIn(content, c.caption.section, QString::number(c.caption.key));
    } else {
      captions << c.caption.fixed;
    }
  }
  return captions;
}

CellLook propertyRowLook(const QString& roName0, const QString& roName1) {
  switch (core::propertyRowStyle(roName0.toStdString(), roName1.toStdString())) {
    case core::PropertyRowStyle::GroupSums: return {kYellow, kBlack, true};
    case core::PropertyRowStyle::Properties: return {kYellow, kFuchsia, true};
    case core::PropertyRowStyle::Acidity: return {kWhite, kBlue, true};
    case core::PropertyRowStyle::Plain: break;
  }
  return {};
}

int propertyPanelHeight(int rows) { return core::propertyPanelHeight(rows); }

}  // namespace tessaro::app
