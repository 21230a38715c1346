#include "oxidegroups.h"

namespace tessaro::core {

std::optional<OxideGroup> otherOxideKind(std::string_view name) {
  // Plain byte search is safe on UTF-8: no byte of a multi-byte character is
  // an ASCII letter or digit.
  const auto has = [name](std::string_view part) { return name.find(part) != std::string_view::npos; };
  if (!has("O")) return std::nullopt;
  if (has("O2")) return OxideGroup::RO2;
  if (has("O3") || has("O4") || has("O5")) return OxideGroup::R2O3;
  return OxideGroup::RO;
}

}  // namespace tessaro::core
