// The vocabulary of the program's grids, described once: the colours, the
// columns of the six grids (field, where the title comes from, width,
// colours, alignment), the row indicator, the other-oxide menu and the
// sections of the settings file that hold the titles. The views draw from
// it, the reports read their fields from it and the windows' logic reads
// the titles through it.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace tessaro::app {

// A colour of the windows.
struct Colour {
  int r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};

// The named colours of the windows.
namespace palette {
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kBlue{0, 0, 255};
inline constexpr Colour kNavy{0, 0, 128};
inline constexpr Colour kGrey{128, 128, 128};
inline constexpr Colour kFuchsia{255, 0, 255};
inline constexpr Colour kYellow{255, 255, 0};
inline constexpr Colour kPink{255, 210, 255};
inline constexpr Colour kRose{255, 155, 155};  // the proportions of the verified formula
inline constexpr Colour kLightGreen{223, 255, 223};
inline constexpr Colour kMoneyGreen{192, 220, 192};
inline constexpr Colour kLightBlue{210, 233, 255};
inline constexpr Colour kSkyBlue{166, 202, 240};
inline constexpr Colour kLightYellow{255, 255, 187};
inline constexpr Colour kPaleYellow{255, 255, 166};
inline constexpr Colour kPriceTitle{255, 255, 185};
inline constexpr Colour kNameCell{240, 240, 255};
inline constexpr Colour kLavender{200, 200, 255};
inline constexpr Colour kButtonFace{240, 240, 240};
}  // namespace palette

// Width in pixels of a grid's row indicator with its grid line; positions in
// a grid (pointer zones) count from the indicator's left edge.
inline constexpr int kRowIndicatorWidth = 12;

// The six grids of the program.
enum class Grid { Formula, Target, Result, Property, MaterialLibrary, TargetLibrary };

// Sections of the settings file that hold the grids' titles (key: the
// column's position in its grid, or the position the formula grid gives it).
inline const QString kFormulaSection = QStringLiteral("配方");
inline const QString kTargetSection = QStringLiteral("目标配方");
inline const QString kResultSection = QStringLiteral("结果");
inline const QString kMaterialLibrarySection = QStringLiteral("原料库");
inline const QString kTargetLibrarySection = QStringLiteral("pfk");
// The section that holds the molecular weights of the other oxides.
inline const QString kOtherOxideSection = QStringLiteral("其它");

// Where a column's title comes from: the key `key` of `section` in the
// settings file, or the fixed text `fixed`; neither: no title.
struct CaptionKey {
  QString section;
  int key = -1;
  QString fixed;
  bool fromSettings() const { return key >= 0; }
};

// How the cells of a column place their text; ByType: numbers to the right,
// everything else to the left.
enum class Align { Left, Centre, Right, ByType };

// One column of a grid, in grid order. A colour not given is the grid's own.
struct GridColumn {
  QString field;
  CaptionKey caption;
  int width = -1;  // pixels; 0: hidden; -1: the toolkit's default
  std::optional<Colour> title;      // title background
  std::optional<Colour> titleText;  // title text
  bool titleCentred = false;
  std::optional<Colour> cell;  // cell background
  std::optional<Colour> text;  // cell text
  Align align = Align::Left;
  bool bold = false;
};

const std::vector<GridColumn>& gridColumns(Grid grid);
// Position of `field` in `grid` (letter case ignored); -1 when it has none.
int columnOf(Grid grid, const QString& field);
// The field of `grid`'s column at `column`; empty outside the grid.
QString fieldAt(Grid grid, int column);
// The formula (1 or 2) whose proportions the field NUM1 or NUM2 holds; 0 for any other field.
int proportionFormula(const QString& field);
// The mandatory-amount column (1..3) the field BXL1..BXL3 is; 0 for any other field.
int mandatoryMark(const QString& field);
// The titles of `grid` by position, as the settings file `settingsFile` holds them.
QStringList readCaptions(Grid grid, const QString& settingsFile);

// The eleven oxide fields, in the order of every grid and report.
const QStringList& oxideFields();
// The field of other oxide k (1..3): "QTCF1" ... "QTCF3"; its molecular
// weight is the key of that name in kOtherOxideSection.
QString otherOxideField(int k);
// Which other oxide (1..3) column `column` of `grid` holds; 0 for any other column.
int otherOxideAt(Grid grid, int column);

// How a cell is drawn where it differs from its column.
struct CellLook {
  std::optional<Colour> background;
  std::optional<Colour> text;
  bool focusRectangle = false;  // a dotted rectangle on the cell before its text
};
// The colours of a row of the property grid from the RO labels of its two
// sides (core classifies the row): group sums yellow with black text,
// properties yellow with fuchsia text, acidity blue on the window colour,
// each with a focus rectangle on every cell; a plain row keeps its columns'
// colours.
CellLook propertyRowLook(const QString& roName0, const QString& roName1);
// Height in pixels of the panel that shows a property table of `rows` rows.
int propertyPanelHeight(int rows);

// The other-oxide menu: eleven built-in oxides with their molecular weights
// and menu names, in menu order, and the free entry.
struct OtherOxide {
  const char16_t* name;
  const char16_t* weight;
  const char* objectName;  // the menu item's name
};
inline constexpr std::array<OtherOxide, 11> kOtherOxideMenu = {{
    {u"B2O3", u"69.62", "B2O3N"}, {u"BaO", u"153.3", "BaO"},     {u"BeO", u"25.01", "BeO"},
    {u"Li2O", u"29.88", "Li2O"},  {u"MnO", u"70.94", "MnO"},     {u"P2O5", u"141.94", "P205"},
    {u"PbO", u"223.2", "PbO"},    {u"SnO2", u"150.7", "SnO2"},   {u"SrO", u"103.62", "SrO"},
    {u"ZnO", u"81.37", "ZnO2"},   {u"ZrO2", u"123.22", "ZrO2"},
}};
inline const QString kFreeOtherOxide = QStringLiteral("其它");
inline constexpr const char* kFreeOtherOxideObjectName = "MenuItem12";

}  // namespace tessaro::app
