// The results as one Excel workbook (.xlsx): the formula report's table, the
// property table and the batch sheet, one worksheet each, with the texts and
// figures the printed pages show; figures are numbers in the spreadsheet.
#pragma once

#include <QString>

#include <optional>

#include "app/batchsheet.h"
#include "report/batchprint.h"
#include "report/reportcontent.h"

namespace tessaro::report {

// The worksheets' names.
inline const QString kFormulaSheetName = QStringLiteral("配方计算结果");
inline const QString kPropertySheetName = QStringLiteral("配方性能");
inline const QString kBatchSheetName = QStringLiteral("配料单");

// What a sheet says in place of rows it has none of.
inline const QString kNoPropertyRows = QStringLiteral("性能表中没有记录：请先进行坯性能或釉性能计算。");

struct WorkbookContent {
  FormulaReportContent formula;
  PropertyReportContent property;
  std::optional<BatchSheetContent> batch;
  // Why there is no batch sheet; its worksheet says so.
  QString batchMissing;
};

// The batch sheet of the result formulas under `baseFolder` for `request`,
// dated today; none, with the sentence in `why`, when the tables cannot be
// read or hold no result formula.
std::optional<BatchSheetContent> readBatchSheet(const QString& baseFolder, const app::BatchRequest& request,
                                                QString* why);

// Writes `content` into the .xlsx file `path`: the three worksheets
// kFormulaSheetName, kPropertySheetName and kBatchSheetName, in this order.
// The file is written under a temporary name beside it and then renamed, so
// that a failed write leaves an existing file as it was. False, with a
// sentence naming the file and the reason in `error`, when it cannot be written.
bool writeWorkbook(const QString& path, const WorkbookContent& content, QString* error);

}  // namespace tessaro::report
