// What the two reports print, read from the report's own table cursors.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "store/table.h"

namespace tessaro::report {

// The report's own cursors on the four working tables, separate from the
// main screen's: they read what the table files hold.
struct ReportTables {
  store::Table formula;
  store::Table target;
  store::Table result;
  store::Table property;

  // Opens the four tables under `baseFolder` (the folder that holds 数据库),
  // orders the formula table by BH and restricts it to the rows whose BH is
  // 1, and orders the result table by BH. A restriction that fails is let
  // go (every row is then listed); any other failure, and a table whose file
  // does not agree with its header, closes what was opened and returns false
  // with the engine's sentence in `error`.
  bool open(const QString& baseFolder, QString* error);
  void closeFormulaTables();  // formula, target and result
  void closeAll();
};

// The oxide columns SIO2 ... QTCF3 (app::oxideFields()) in the report's column order.
inline constexpr int kReportOxideCount = 11;

// One raw material of the formula report.
struct FormulaRow {
  QString name, num1, num2;
  std::array<QString, kReportOxideCount> oxides;
  QString total, price, remark;
};

// The target row and the two formula rows of the summary. Every text is
// empty when the table has no row to fill it from.
struct TargetSummary {
  QString name;
  std::array<QString, kReportOxideCount> oxides;
  QString total, remark;
};
struct FormulaSummary {
  std::array<QString, kReportOxideCount> oxides;
  QString total, cost, remark;
};

struct FormulaReportContent {
  QString title;  // the target's NAME followed by "_计算结果"
  QString date;   // DATE of the first result row, as the program shows dates
  // Header captions of the K2O, Na2O and three other-oxide columns.
  std::array<QString, 5> oxideTitles;
  std::vector<FormulaRow> rows;
  TargetSummary target;
  std::array<FormulaSummary, 2> formulas;
  // Cells whose bytes in the file are not of their field's type, one
  // sentence each naming table, record and field; they print as stored.
  QStringList problems;
};

struct PropertyRow {
  std::array<QString, 14> cells;  // NAME0 ... RO21 in field order
  std::array<bool, 14> numeric{};  // whether the cell's field is a number field
};

struct PropertyReportContent {
  std::vector<PropertyRow> rows;
  QStringList problems;
};

// The formula report's fixed texts (the painter pads some with blanks).
inline const QString kProportionHeading = QStringLiteral("配方百分配比");
inline const QString kIgnitionNote = QStringLiteral("（含灼减）");
inline const QString kCompositionHeading = QStringLiteral("化学组成(不含灼减)");
inline const QString kTargetRowCaption = QStringLiteral("目标配方");
// "配方1 化学组成" for f = 0, "配方2 化学组成" for f = 1.
QString formulaRowCaption(int f);
// The property report's title.
inline const QString kPropertyReportTitle = QStringLiteral("配方性能");

// The formula report's column titles: name, formula 1 and 2, the eleven
// oxides (K2O ... QTCF3 from content.oxideTitles), total, unit price, remark.
inline constexpr int kFormulaColumnCount = 3 + kReportOxideCount + 3;
std::array<QString, kFormulaColumnCount> formulaColumnTitles(const FormulaReportContent& content);

// Reads the formula report from the cursors: the formula table's rows in
// its current order and range, the target's first row, and the first two
// rows of the result table (a single row fills both formula rows, since
// moving past the last row stays on it). `grid1Captions` are the main
// screen's captions of grid 1; columns 12 to 16 head the K2O ... QTCF3
// columns. The result cursor is left on its first row.
FormulaReportContent readFormulaReport(ReportTables& tables, const QStringList& grid1Captions);

// Reads the property table's rows in table order.
PropertyReportContent readPropertyReport(store::Table& property);

// Reads both reports from the tables under `baseFolder` with cursors of its
// own, closed again before it returns; the captions of grid 1 are those of
// the settings file, as the main screen reads them at its start. False with
// the sentence in `error` when a table does not open (ReportTables::open).
bool readReports(const QString& baseFolder, FormulaReportContent& formula, PropertyReportContent& property,
                 QString* error);

}  // namespace tessaro::report
