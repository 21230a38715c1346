#include "store/schemas.h"

#include <string_view>

#include "core/composition.h"

namespace tessaro::store::schema {

namespace {

// Analyses keep three decimals in every table; raw proportions two; the
// property table's formula numbers and properties six.
FieldSpec analysis(std::string_view name) { return {QString::fromLatin1(name.data(), qsizetype(name.size())), 'N', 10, 3}; }
FieldSpec text(const char* name, int length) { return {QString::fromLatin1(name), 'C', length}; }
const FieldSpec kPrice{QStringLiteral("DJ"), 'N', 12, 3};
const FieldSpec kDate{QStringLiteral("DATE"), 'D', 8};
const FieldSpec kRemark{QStringLiteral("BZ"), 'C', 50};
const FieldSpec kNumber{QStringLiteral("BH"), 'N', 6, 0};

// The composition as the working tables order it, and as the libraries do
// (core's order of the oxides).
void addWorkingComposition(std::vector<FieldSpec>& f) {
  for (const char* n : {"SIO2", "AL2O3", "CAO", "MGO", "K2O", "NA2O", "FE2O3", "TIO2", "QTCF1", "QTCF2", "QTCF3", "IL", "HJ"})
    f.push_back(analysis(n));
}
void addLibraryComposition(std::vector<FieldSpec>& f) {
  for (const std::string_view n : core::kOxideFields) f.push_back(analysis(n));
  for (const char* n : {"IL", "HJ"}) f.push_back(analysis(n));
}
void addMarks(std::vector<FieldSpec>& f) {
  for (const char* n : {"BXL1", "BXL2", "BXL3"}) f.push_back(text(n, 8));
}

}  // namespace

std::vector<FieldSpec> formula() {
  std::vector<FieldSpec> f{text("NAME", 30)};
  addWorkingComposition(f);
  addMarks(f);
  f.push_back(kPrice);
  f.push_back({QStringLiteral("NUM1"), 'N', 10, 2});
  f.push_back({QStringLiteral("NUM2"), 'N', 10, 2});
  f.insert(f.end(), {kDate, kRemark, text("BH", 10)});
  return f;
}

std::vector<FieldSpec> target() {
  std::vector<FieldSpec> f{text("NAME", 30)};
  addWorkingComposition(f);
  addMarks(f);
  f.insert(f.end(), {kDate, kRemark, text("BH", 10)});
  return f;
}

std::vector<FieldSpec> result() {
  std::vector<FieldSpec> f{text("NAME", 8)};
  addWorkingComposition(f);
  addMarks(f);
  f.insert(f.end(), {kPrice, kDate, kRemark, text("BH", 30)});
  return f;
}

std::vector<FieldSpec> property() {
  std::vector<FieldSpec> f;
  for (const QString& side : {QStringLiteral("0"), QStringLiteral("1")}) {
    f.push_back({QStringLiteral("NAME") + side, 'C', 20});
    for (const QString& group : {QStringLiteral("RO"), QStringLiteral("R2O3"), QStringLiteral("RO2")}) {
      f.push_back({group + QStringLiteral("NAME") + side, 'C', 8});
      f.push_back({group + side, 'N', 16, 6});
    }
  }
  return f;
}

std::vector<FieldSpec> materialLibrary() {
  std::vector<FieldSpec> f{kNumber, text("NAME", 30)};
  addLibraryComposition(f);
  f.insert(f.end(), {kPrice, kRemark, kDate});
  return f;
}

std::vector<FieldSpec> targetLibrary() {
  std::vector<FieldSpec> f{kNumber, text("NAME", 30)};
  addLibraryComposition(f);
  f.insert(f.end(), {kRemark, kDate});
  return f;
}

std::vector<TableSchema> dataFolderTables() {
  const auto name = [](const char16_t* file) { return QString::fromUtf16(file); };
  return {{name(kFormulaFile), formula()},   {name(kTargetFile), target()},
          {name(kResultFile), result()},     {name(kPropertyFile), property()},
          {name(kMaterialLibraryFile), materialLibrary()}, {name(kTargetLibraryFile), targetLibrary()}};
}

}  // namespace tessaro::store::schema
