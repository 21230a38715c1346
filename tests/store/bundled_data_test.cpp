// The bundled data folder: six dBASE tables that other dBASE readers open,
// with the fields the program uses, and a settings file with every caption.
// Read here byte by byte, independently of the table engine.
#include "core/composition.h"
#include "core/format.h"
#include "store/profile.h"
#include "store/schemas.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

using tessaro::store::Profile;

namespace {

QString dataFile(const QString& name) {
  return QDir(QString::fromUtf8(TESSARO_SOURCE_DIR)).filePath(QStringLiteral("数据库/") + name);
}

struct Field {
  QString name;
  char type = 0;
  int width = 0;
  int decimals = 0;
  int offset = 0;  // within the record, after the deletion flag
};

struct Table {
  std::vector<Field> fields;
  std::vector<QByteArray> records;

  const Field* field(const QString& name) const {
    for (const Field& f : fields)
      if (f.name == name) return &f;
    return nullptr;
  }
  QString text(size_t row, const QString& name) const {
    const Field* f = field(name);
    if (!f) return QString();
    QStringDecoder gbk("GBK");
    return QString(gbk.decode(records[row].mid(1 + f->offset, f->width))).trimmed();
  }
  std::optional<double> number(size_t row, const QString& name) const {
    const QString t = text(row, name);
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
  }
};

unsigned le16(const QByteArray& b, int at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; }
unsigned le32(const QByteArray& b, int at) { return le16(b, at) | le16(b, at + 2) << 16; }

// Reads a dBASE III table, checking the header on the way.
Table readTable(const QString& name) {
  Table t;
  QFile file(dataFile(name));
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot open " << name.toStdString();
    return t;
  }
  const QByteArray b = file.readAll();
  if (b.size() < 33) {
    ADD_FAILURE() << name.toStdString() << " is too short";
    return t;
  }
  EXPECT_EQ(uint8_t(b[0]), 0x03) << name.toStdString();
  EXPECT_EQ(uint8_t(b[29]), 0x7A) << name.toStdString() << ": language driver for GBK";
  const unsigned count = le32(b, 4);
  const unsigned headerLength = le16(b, 8);
  const unsigned recordLength = le16(b, 10);
  EXPECT_EQ(qsizetype(headerLength + count * recordLength + 1), b.size()) << name.toStdString();
  EXPECT_EQ(uint8_t(b[b.size() - 1]), 0x1A) << name.toStdString() << ": end-of-file mark";
  EXPECT_EQ(uint8_t(b[headerLength - 1]), 0x0D) << name.toStdString();
  int offset = 0;
  for (unsigned at = 32; at + 32 <= headerLength - 1; at += 32) {
    Field f;
    f.name = QString::fromLatin1(b.mid(at, 11).constData());
    f.type = b[at + 11];
    f.width = uint8_t(b[at + 16]);
    f.decimals = uint8_t(b[at + 17]);
    f.offset = offset;
    offset += f.width;
    t.fields.push_back(f);
  }
  EXPECT_EQ(unsigned(offset + 1), recordLength) << name.toStdString();
  for (unsigned r = 0; r < count && headerLength + (r + 1) * recordLength <= unsigned(b.size()); ++r) {
    t.records.push_back(b.mid(headerLength + r * recordLength, recordLength));
    EXPECT_EQ(t.records.back()[0], ' ') << name.toStdString() << " record " << r << " is marked deleted";
  }
  return t;
}

QStringList split(const char* names) { return QString::fromLatin1(names).split(u' '); }

// Every numeric field holds what the program writes: two decimals at least,
// three in the libraries and six in the property table.
void expectNumbersHold(const Table& t, const char* table, int decimals) {
  for (const Field& f : t.fields) {
    if (f.type != 'N' || f.name == QLatin1String("BH")) continue;
    EXPECT_GE(f.decimals, decimals) << table << " " << f.name.toStdString();
    EXPECT_GE(f.width - f.decimals - 1, 4) << table << " " << f.name.toStdString() << " too narrow";
  }
}

const QString kCategoryMark = QStringLiteral("*");

}  // namespace

// The generator writes the six tables with the fields the store declares
// (store/schemas.h): names, types, widths and decimals in file order.
TEST(BundledData, TablesHaveTheFieldsOfTheStoreSchemas) {
  for (const auto& schema : tessaro::store::schema::dataFolderTables()) {
    const Table t = readTable(schema.fileName);
    ASSERT_EQ(t.fields.size(), schema.fields.size()) << schema.fileName.toStdString();
    for (size_t i = 0; i < t.fields.size(); ++i) {
      const Field& f = t.fields[i];
      const auto& want = schema.fields[i];
      EXPECT_EQ(f.name, want.name) << schema.fileName.toStdString() << " field " << i;
      EXPECT_EQ(f.type, want.type) << f.name.toStdString();
      EXPECT_EQ(f.width, want.length) << f.name.toStdString();
      EXPECT_EQ(f.decimals, want.decimals) << f.name.toStdString();
    }
  }
}

TEST(BundledData, SchemasHaveTheFieldsInFileOrder) {
  namespace schema = tessaro::store::schema;
  auto names = [](const std::vector<tessaro::store::FieldSpec>& fields) {
    QStringList out;
    for (const auto& f : fields) out << f.name;
    return out;
  };
  auto width = [](const std::vector<tessaro::store::FieldSpec>& fields, const char* name) {
    for (const auto& f : fields)
      if (f.name == QLatin1String(name)) return f.length;
    return -1;
  };
  const QStringList composition = split("SIO2 AL2O3 CAO MGO K2O NA2O FE2O3 TIO2 QTCF1 QTCF2 QTCF3 IL HJ");
  const QStringList libraryComposition = split("SIO2 AL2O3 FE2O3 TIO2 CAO MGO K2O NA2O QTCF1 QTCF2 QTCF3 IL HJ");
  EXPECT_EQ(names(schema::formula()), QStringList{"NAME"} + composition + split("BXL1 BXL2 BXL3 DJ NUM1 NUM2 DATE BZ BH"));
  EXPECT_EQ(names(schema::target()), QStringList{"NAME"} + composition + split("BXL1 BXL2 BXL3 DATE BZ BH"));
  EXPECT_EQ(names(schema::result()), QStringList{"NAME"} + composition + split("BXL1 BXL2 BXL3 DJ DATE BZ BH"));
  EXPECT_EQ(width(schema::result(), "BH"), 30);
  EXPECT_EQ(width(schema::result(), "NAME"), 8);
  EXPECT_EQ(names(schema::property()),
            split("NAME0 RONAME0 RO0 R2O3NAME0 R2O30 RO2NAME0 RO20 NAME1 RONAME1 RO1 R2O3NAME1 R2O31 RO2NAME1 RO21"));
  EXPECT_EQ(names(schema::materialLibrary()), split("BH NAME") + libraryComposition + split("DJ BZ DATE"));
  EXPECT_EQ(names(schema::targetLibrary()), split("BH NAME") + libraryComposition + split("BZ DATE"));
}

TEST(BundledData, TablesHoldWhatTheProgramWrites) {
  expectNumbersHold(readTable(QStringLiteral("配方.DBF")), "formula", 2);
  EXPECT_EQ(readTable(QStringLiteral("目标配方.DBF")).records.size(), 1u);
  const Table result = readTable(QStringLiteral("结果.DBF"));
  EXPECT_TRUE(result.records.empty());
  expectNumbersHold(result, "result", 2);
  const Table property = readTable(QStringLiteral("性能.dbf"));
  EXPECT_TRUE(property.records.empty());
  expectNumbersHold(property, "property", 6);
  expectNumbersHold(readTable(QStringLiteral("YLK.DBF")), "material library", 3);
  expectNumbersHold(readTable(QStringLiteral("pfk.dbf")), "target library", 3);
}

TEST(BundledData, LibrariesAreNumberedAndGroupedWithTotalsAsTheWindowComputesThem) {
  struct Expect {
    const char* file;
    size_t entries;
    size_t categories;
  };
  for (const Expect& e : {Expect{"YLK.DBF", 20, 4}, Expect{"pfk.dbf", 6, 2}}) {
    const Table t = readTable(QString::fromUtf8(e.file));
    size_t entries = 0, categories = 0;
    for (size_t r = 0; r < t.records.size(); ++r) {
      EXPECT_EQ(t.number(r, "BH"), double(r + 1)) << e.file;
      if (t.text(r, "NAME").contains(kCategoryMark)) {
        ++categories;
        continue;
      }
      ASSERT_NE(r, 0u) << e.file << ": the first record must be a category row";
      ++entries;
      // HJ is the rounded sum of the eleven oxides and the loss on ignition.
      double sum = 0;
      for (const auto& f : tessaro::core::kOxideFields) {
        const auto v = t.number(r, QString::fromLatin1(f.data(), f.size()));
        ASSERT_TRUE(v.has_value()) << e.file << " " << r << " " << f;
        sum += *v;
      }
      sum += t.number(r, "IL").value_or(-1);
      EXPECT_EQ(t.number(r, "HJ"), tessaro::core::roundFixed(sum, 2)) << t.text(r, "NAME").toStdString();
      EXPECT_GT(*t.number(r, "HJ") - *t.number(r, "IL"), 50) << t.text(r, "NAME").toStdString();
      if (t.field("DJ")) {
        EXPECT_GT(t.number(r, "DJ").value_or(0), 0) << t.text(r, "NAME").toStdString();
      }
    }
    EXPECT_GE(entries, e.entries) << e.file;
    EXPECT_GE(categories, e.categories) << e.file;
  }
}

TEST(BundledData, WorkingTablesHoldTransfersFromTheLibraries) {
  using tessaro::core::roundFixed;
  const Table materials = readTable(QStringLiteral("YLK.DBF"));
  const Table targets = readTable(QStringLiteral("pfk.dbf"));
  auto find = [](const Table& t, const QString& name) -> std::optional<size_t> {
    for (size_t r = 0; r < t.records.size(); ++r)
      if (t.text(r, "NAME") == name) return r;
    return std::nullopt;
  };

  const Table formula = readTable(QStringLiteral("配方.DBF"));
  EXPECT_GE(formula.records.size(), 6u);
  for (size_t r = 0; r < formula.records.size(); ++r) {
    const QString name = formula.text(r, "NAME");
    const auto lib = find(materials, name);
    ASSERT_TRUE(lib.has_value()) << name.toStdString() << " is not in the material library";
    const double d = *materials.number(*lib, "HJ") - *materials.number(*lib, "IL");
    for (const auto& f : tessaro::core::kOxideFields) {
      const QString field = QString::fromLatin1(f.data(), f.size());
      EXPECT_EQ(formula.number(r, field), roundFixed(*materials.number(*lib, field) / d * 100, 2))
          << name.toStdString() << " " << f;
    }
    for (const char* kept : {"IL", "HJ", "DJ"}) EXPECT_EQ(formula.number(r, kept), materials.number(*lib, kept)) << kept;
    for (const char* empty : {"NUM1", "NUM2", "BXL1", "BXL2", "BXL3", "BH"}) EXPECT_EQ(formula.text(r, empty), QString()) << empty;
  }

  const Table target = readTable(QStringLiteral("目标配方.DBF"));
  ASSERT_EQ(target.records.size(), 1u);
  const auto lib = find(targets, target.text(0, "NAME"));
  ASSERT_TRUE(lib.has_value());
  const double d = *targets.number(*lib, "HJ") - *targets.number(*lib, "IL");
  double sum = 0;
  for (const auto& f : tessaro::core::kOxideFields) {
    const QString field = QString::fromLatin1(f.data(), f.size());
    EXPECT_EQ(target.number(0, field), roundFixed(*targets.number(*lib, field) / d * 100, 2)) << f;
    sum += target.number(0, field).value_or(0);
  }
  EXPECT_EQ(target.number(0, "HJ"), roundFixed(sum, 2));
  EXPECT_EQ(target.number(0, "IL"), targets.number(*lib, "IL"));
}

TEST(BundledData, SettingsFileCaptionsEveryColumn) {
  const QString ini = dataFile(QStringLiteral("KuTitle.ini"));
  std::map<QString, std::vector<int>> keys = {
      {QStringLiteral("配方"), {}}, {QStringLiteral("目标配方"), {0, 1, 2, 3, 16, 17, 18}},
      {QStringLiteral("结果"), {0, 1, 13, 14, 15}}, {QStringLiteral("原料库"), {}}, {QStringLiteral("pfk"), {}}};
  for (int k = 0; k <= 22; ++k) keys[QStringLiteral("配方")].push_back(k);
  for (int k = 0; k <= 17; ++k) keys[QStringLiteral("原料库")].push_back(k);
  for (int k = 0; k <= 16; ++k) keys[QStringLiteral("pfk")].push_back(k);
  for (const auto& [section, list] : keys)
    for (int k : list)
      EXPECT_FALSE(Profile::read(ini, section, QString::number(k)).isEmpty()) << section.toStdString() << " " << k;

  // Not merged at first start; the other oxides as a reset leaves them.
  EXPECT_EQ(Profile::read(ini, QStringLiteral("配方"), QStringLiteral("12")), QStringLiteral("K2O"));
  EXPECT_EQ(Profile::read(ini, QStringLiteral("配方"), QStringLiteral("13")), QStringLiteral("Na2O"));
  for (int k = 1; k <= 3; ++k) {
    const QString name = QStringLiteral("其它%1").arg(k);
    EXPECT_EQ(Profile::read(ini, QStringLiteral("配方"), QString::number(13 + k)), name);
    EXPECT_EQ(Profile::read(ini, QStringLiteral("原料库"), QString::number(9 + k)), name);
    EXPECT_EQ(Profile::read(ini, QStringLiteral("pfk"), QString::number(9 + k)), name);
    EXPECT_EQ(Profile::read(ini, QStringLiteral("其它"), QStringLiteral("QTCF%1").arg(k)), QStringLiteral("1"));
  }
}
