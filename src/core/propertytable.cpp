#include "propertytable.h"

namespace tessaro::core {

std::array<PropertyField, 14> propertyFields(const PropertyRow& row) {
  std::array<PropertyField, 14> fields;
  for (int side = 0; side < 2; ++side) {
    const PropertySideRow& s = row.sides[side];
    const int base = side * 7;
    fields[base] = {kPropertyFields[base], s.name, std::nullopt};
    for (int g = 0; g < kGroupCount; ++g) {
      const int at = base + 1 + 2 * g;
      fields[at] = {kPropertyFields[at], s.cells[g].label, std::nullopt};
      fields[at + 1] = {kPropertyFields[at + 1], std::nullopt, s.cells[g].value};
    }
  }
  return fields;
}

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

PropertyRowStyle propertyRowStyle(std::string_view roName0, std::string_view roName1) {
  const std::string_view a = trimmed(roName0);
  const std::string_view b = trimmed(roName1);
  const auto either = [&](std::string_view label) { return a == label || b == label; };
  if (either("一价系数")) return PropertyRowStyle::GroupSums;
  if (either("耐火度")) return PropertyRowStyle::Properties;
  if (either("酸性系数")) return PropertyRowStyle::Acidity;
  return PropertyRowStyle::Plain;
}

PropertyRowStyle propertyRowStyle(const PropertyRow& row) {
  return propertyRowStyle(row.sides[0][OxideGroup::RO].label.value_or(""),
                          row.sides[1][OxideGroup::RO].label.value_or(""));
}

int propertyPanelHeight(int rows) { return rows > 1 ? 36 * (rows - 1) : 0; }

namespace {

// Length of the UTF-8 sequence that starts `s`; 1 for a byte that starts none.
std::size_t sequenceLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t n = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
  }
  if (n > s.size()) return 1;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

std::string cutToBytes(std::string_view text, std::size_t maxBytes, const CharBytes& charBytes) {
  std::size_t used = 0;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t n = sequenceLength(text.substr(end));
    const std::size_t bytes = charBytes ? charBytes(text.substr(end, n)) : n;
    if (used + bytes > maxBytes) break;
    used += bytes;
    end += n;
  }
  return std::string(text.substr(0, end));
}

}  // namespace tessaro::core
