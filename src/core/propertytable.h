// The property table (性能.dbf) as data: its rows with the fourteen fields
// of each, which kind of row the property grid draws in its own colours, and
// the height of the panel that shows the table.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/oxidegroups.h"

namespace tessaro::core {

// Widths in bytes of the text fields (the file holds GBK).
inline constexpr std::size_t kFormulaNameBytes = 20;  // NAME0, NAME1
inline constexpr std::size_t kLabelBytes = 8;         // RONAME0, R2O3NAME0, RO2NAME0, ...

// The fourteen fields in the order of the file, seven per side.
inline constexpr std::array<std::string_view, 14> kPropertyFields = {
    "NAME0", "RONAME0", "RO0", "R2O3NAME0", "R2O30", "RO2NAME0", "RO20",
    "NAME1", "RONAME1", "RO1", "R2O3NAME1", "R2O31", "RO2NAME1", "RO21"};

// One cell of a side: a label and a value. Nothing written stays empty
// (null), which is not the same as 0 or as a blank label.
struct PropertyCell {
  std::optional<std::string> label;
  std::optional<double> value;
  bool isFree() const { return !label && !value; }
  bool operator==(const PropertyCell&) const = default;
};

// The seven fields of one side of a row: the formula title (first row only)
// and one cell per group, indexed by OxideGroup.
struct PropertySideRow {
  std::optional<std::string> name;
  std::array<PropertyCell, kGroupCount> cells;
  PropertyCell& operator[](OxideGroup g) { return cells[static_cast<int>(g)]; }
  const PropertyCell& operator[](OxideGroup g) const { return cells[static_cast<int>(g)]; }
  bool operator==(const PropertySideRow&) const = default;
};

// What a row holds.
enum class PropertyRowKind {
  Oxide,       // oxide coefficients (the first rows, with a spacer row if any)
  GroupSums,   // "一价系数", "三价系数", "二价系数"
  Properties,  // "耐火度" with "烧成温度" or "熔融温度"
  Acidity,     // "酸性系数"
};

struct PropertyRow {
  PropertyRowKind kind = PropertyRowKind::Oxide;
  std::array<PropertySideRow, 2> sides;
  bool operator==(const PropertyRow&) const = default;
};

// One field of a row as the table receives it: a text field carries `text`,
// a numeric field `number`; neither means the field stays empty.
struct PropertyField {
  std::string_view name;
  std::optional<std::string> text;
  std::optional<double> number;
};

// The fourteen fields of a row in the order of kPropertyFields.
std::array<PropertyField, 14> propertyFields(const PropertyRow& row);

// Which kind of row the property grid draws in its own colours. The grid
// tests the RO labels of both sides as the table holds them (blanks
// trimmed): "一价系数" first, then "耐火度", then "酸性系数"; the whole row
// takes the colours, whichever side holds the label. Every other row, the
// spacer row included, is plain.
enum class PropertyRowStyle { Plain, GroupSums, Properties, Acidity };

PropertyRowStyle propertyRowStyle(std::string_view roName0, std::string_view roName1);
PropertyRowStyle propertyRowStyle(const PropertyRow& row);

// Height in pixels of the panel that shows a property table of `rows` rows:
// 36 per row after the first (seven rows give 216).
int propertyPanelHeight(int rows);

// Bytes that one character (given as UTF-8) takes in the table file.
using CharBytes = std::function<std::size_t(std::string_view character)>;

// The longest prefix of the UTF-8 `text` made of whole characters whose
// bytes, counted by `charBytes`, are at most `maxBytes`. A byte that is not
// part of a valid UTF-8 sequence counts as one character. Without
// `charBytes` the UTF-8 bytes are counted.
std::string cutToBytes(std::string_view text, std::size_t maxBytes, const CharBytes& charBytes);

}  // namespace tessaro::core
