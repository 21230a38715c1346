// The fields of the six tables of the data folder, in file order, as the
// bundled tables have them. Every table this program or its tests build is
// built from these lists.
#pragma once

#include <QString>

#include <vector>

namespace tessaro::store {

// A field of a new table.
struct FieldSpec {
  QString name;  // at most 10 ASCII characters
  char type;     // 'C', 'N', 'D' or 'L'
  int length;    // C: 1..254; N: 1..20; D: 8; L: 1
  int decimals = 0;
};

namespace schema {

// The file names of the six tables in the data folder.
inline constexpr char16_t kFormulaFile[] = u"配方.DBF";
inline constexpr char16_t kTargetFile[] = u"目标配方.DBF";
inline constexpr char16_t kResultFile[] = u"结果.DBF";
inline constexpr char16_t kPropertyFile[] = u"性能.dbf";
inline constexpr char16_t kMaterialLibraryFile[] = u"YLK.DBF";
inline constexpr char16_t kTargetLibraryFile[] = u"pfk.dbf";

std::vector<FieldSpec> formula();          // 配方.DBF, the working formula table
std::vector<FieldSpec> target();           // 目标配方.DBF, the working target
std::vector<FieldSpec> result();           // 结果.DBF, the calculated formulas
std::vector<FieldSpec> property();         // 性能.dbf, the body and glaze properties
std::vector<FieldSpec> materialLibrary();  // YLK.DBF, the raw-material library
std::vector<FieldSpec> targetLibrary();    // pfk.dbf, the target library

// A table of the data folder: its file name there and its fields.
struct TableSchema {
  QString fileName;
  std::vector<FieldSpec> fields;
};

// The six tables, in the order above.
std::vector<TableSchema> dataFolderTables();

}  // namespace schema
}  // namespace tessaro::store
