#include "report/workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include "app/fitinputs.h"
#include "report/sheetwriter.h"

namespace tessaro::report {

namespace {

// Columns of the formula sheet, in the order of formulaColumnTitles().
constexpr int kNameCol = 0;
constexpr int kNum1Col = 1;
constexpr int kNum2Col = 2;
constexpr int kFirstOxideCol = 3;
constexpr int kTotalCol = 14;
constexpr int kPriceCol = 15;
constexpr int kRemarkCol = 16;
constexpr int kFormulaHeaderRow = 3;

constexpr unsigned kCell = kBoxed;
constexpr unsigned kBoldCell = kBoxed | kBold;
constexpr unsigned kHeaderCell = kBoxed | kBold | kCentred;

constexpr uint8_t kA4Paper = 9;

void pageSetUp(lxw_worksheet* sheet, bool landscape) {
  worksheet_set_paper(sheet, kA4Paper);
  if (landscape) worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
}

// --- The formula report's table ---------------------------------------------------------

void oxideFigures(SheetWriter& w, int row, const std::array<QString, kReportOxideCount>& oxides,
                  const QString& total) {
  for (int i = 0; i < kReportOxideCount; ++i) w.figure(row, kFirstOxideCol + i, oxides[std::size_t(i)], kCell);
  w.figure(row, kTotalCol, total, kCell);
}

// The title, the captions over the column groups with the date, and the column titles.
void formulaHeading(SheetWriter& w, const FormulaReportContent& c) {
  w.spill(0, kNameCol, c.title, kTitle);
  w.merged(1, kNum1Col, kNum2Col, kProportionHeading, kBold | kCentred);
  w.merged(2, kNum1Col, kNum2Col, kIgnitionNote, kBold | kCentred);
  w.merged(2, kFirstOxideCol, kTotalCol, kCompositionHeading, kBold | kCentred);
  w.text(2, kRemarkCol, c.date, kBold);
  const auto titles = formulaColumnTitles(c);
  for (int i = 0; i < kFormulaColumnCount; ++i) w.text(kFormulaHeaderRow, i, titles[std::size_t(i)], kHeaderCell);
}

// The target's row and, a row further down, the two formulas' rows.
void formulaSummary(SheetWriter& w, int row, const FormulaReportContent& c) {
  w.text(row, kNameCol, kTargetRowCaption, kBoldCell);
  w.merged(row, kNum1Col, kNum2Col, c.target.name, kBoldCell | kCentred);
  oxideFigures(w, row, c.target.oxides, c.target.total);
  w.merged(row, kPriceCol, kRemarkCol, c.target.remark, kCell);
  row += 2;
  for (int f = 0; f < 2; ++f, ++row) {
    const FormulaSummary& s = c.formulas[std::size_t(f)];
    w.merged(row, kNameCol, kNum2Col, formulaRowCaption(f), kBoldCell | kCentred);
    oxideFigures(w, row, s.oxides, s.total);
    w.figure(row, kPriceCol, s.cost, kCell);
    w.text(row, kRemarkCol, s.remark, kCell);
  }
}

lxw_error formulaSheet(lxw_worksheet* sheet, WorkbookFormats& formats, const FormulaReportContent& c) {
  SheetWriter w(sheet, formats);
  formulaHeading(w, c);
  int row = kFormulaHeaderRow + 1;
  for (const FormulaRow& r : c.rows) {
    w.text(row, kNameCol, r.name, kBoldCell);
    w.figure(row, kNum1Col, r.num1, kBoldCell);
    w.figure(row, kNum2Col, r.num2, kBoldCell);
    oxideFigures(w, row, r.oxides, r.total);
    w.figure(row, kPriceCol, r.price, kBoldCell);
    w.text(row, kRemarkCol, r.remark, kCell);
    ++row;
  }
  formulaSummary(w, row + 1, c);
  w.fitColumns();
  worksheet_freeze_panes(sheet, kFormulaHeaderRow + 1, kNameCol + 1);
  pageSetUp(sheet, true);
  const lxw_error repeat = worksheet_repeat_rows(sheet, kFormulaHeaderRow, kFormulaHeaderRow);
  return w.error() != LXW_NO_ERROR ? w.error() : repeat;
}

// --- The property table -----------------------------------------------------------------

lxw_error propertySheet(lxw_worksheet* sheet, WorkbookFormats& formats, const PropertyReportContent& c) {
  SheetWriter w(sheet, formats);
  w.spill(0, 0, kPropertyReportTitle, kTitle);
  int row = 2;
  for (const PropertyRow& r : c.rows) {
    for (std::size_t i = 0; i < r.cells.size(); ++i) {
      // A side's title (NAME0, NAME1) stands right-aligned, the labels centred, as printed.
      const bool title = i == 0 || i == 7;
      if (r.numeric[i]) {
        w.figure(row, int(i), r.cells[i], kCell);
      } else {
        w.text(row, int(i), r.cells[i], kBoldCell | (title ? kRight : kCentred));
      }
    }
    ++row;
  }
  if (c.rows.empty()) w.spill(row, 0, kNoPropertyRows, kPlain);
  w.fitColumns();
  pageSetUp(sheet, true);
  return w.error();
}

// --- The batch sheet --------------------------------------------------------------------

// The target, the date, the batch weight and the water content, under the title.
void batchHeading(SheetWriter& w, const BatchSheetContent& b) {
  const app::BatchRequest& r = b.sheet.request;
  w.text(1, 0, QStringLiteral("目标配方"), kBold);
  w.spill(1, 1, batchTargetText(b), kPlain);
  w.text(2, 0, QStringLiteral("日期"), kBold);
  w.spill(2, 1, b.date, kPlain);
  w.text(3, 0, QStringLiteral("批量（干料，kg）"), kBold);
  w.figure(3, 1, app::batchKgText(r.weightKg));
  w.text(4, 0, QStringLiteral("含水率（%，占浆料总重）"), kBold);
  w.figure(4, 1, app::batchPercentText(r.waterPercent));
}

lxw_error batchSheet(lxw_worksheet* sheet, WorkbookFormats& formats, const WorkbookContent& c) {
  SheetWriter w(sheet, formats);
  w.spill(0, 0, kBatchSheetName, kTitle);
  int row = 2;
  if (c.batch) {
    batchHeading(w, *c.batch);
    row = 6;
    const app::BatchRow header = batchHeaderRow();
    for (const core::BatchFormula& f : c.batch->sheet.formulas) {
      w.spill(row++, 0, QString::fromStdString(f.label), kBold);
      for (std::size_t i = 0; i < header.cells.size(); ++i) w.text(row, int(i), header.cells[i], kHeaderCell);
      ++row;
      for (const app::BatchRow& r : app::batchRows(f)) {
        const unsigned look = r.total ? kBoldCell : kCell;
        w.text(row, 0, r.cells[0], look);
        for (std::size_t i = 1; i < r.cells.size(); ++i) w.figure(row, int(i), r.cells[i], look);
        ++row;
      }
      ++row;
    }
  } else {
    w.spill(row, 0, c.batchMissing, kPlain);
  }
  w.fitColumns();
  pageSetUp(sheet, false);
  return w.error();
}

// --- The file ---------------------------------------------------------------------------

lxw_error writeSheets(const QString& file, const WorkbookContent& content) {
  lxw_workbook* book = workbook_new(QFile::encodeName(file).constData());
  if (!book) return LXW_ERROR_MEMORY_MALLOC_FAILED;
  QByteArray title = content.formula.title.toUtf8();
  lxw_doc_properties properties{};
  properties.title = title.data();
  lxw_error e = workbook_set_properties(book, &properties);
  WorkbookFormats formats(book);
  lxw_worksheet* formula = workbook_add_worksheet(book, kFormulaSheetName.toUtf8().constData());
  lxw_worksheet* property = workbook_add_worksheet(book, kPropertySheetName.toUtf8().constData());
  lxw_worksheet* batch = workbook_add_worksheet(book, kBatchSheetName.toUtf8().constData());
  if (!formula || !property || !batch) e = LXW_ERROR_PARAMETER_VALIDATION;
  if (e == LXW_NO_ERROR) e = formulaSheet(formula, formats, content.formula);
  if (e == LXW_NO_ERROR) e = propertySheet(property, formats, content.property);
  if (e == LXW_NO_ERROR) e = batchSheet(batch, formats, content);
  // Closing writes the file and frees the workbook, whatever went before.
  const lxw_error closed = workbook_close(book);
  return e != LXW_NO_ERROR ? e : closed;
}

QString writeFailure(lxw_error e) {
  switch (e) {
    case LXW_ERROR_CREATING_XLSX_FILE:
      return QStringLiteral("不能创建文件（没有写入权限，或磁盘已满）");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
      return QStringLiteral("不能使用临时文件（临时文件夹不可写，或磁盘已满）");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      return QStringLiteral("写入压缩数据时出错（磁盘可能已满）");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
      return QStringLiteral("内存不足");
    default:
      return QStringLiteral("表格库报告错误：%1").arg(QString::fromUtf8(lxw_strerror(e)));
  }
}

// Why `target` cannot be written, found before anything is written; empty when nothing is in the way.
QString refusal(const QFileInfo& target) {
  const QString folder = target.absolutePath();
  if (!QFileInfo(folder).isDir()) return QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder));
  if (target.isDir()) return QStringLiteral("已有同名的文件夹");
  if (target.exists() && !target.isWritable()) return QStringLiteral("文件是只读的");
  if (!QFileInfo(folder).isWritable()) {
    return QStringLiteral("没有在文件夹 %1 中写入文件的权限").arg(QDir::toNativeSeparators(folder));
  }
  return QString();
}

}  // namespace

std::optional<BatchSheetContent> readBatchSheet(const QString& baseFolder, const app::BatchRequest& request,
                                                QString* why) {
  const auto inputs = app::readFitInputs(baseFolder, why);
  if (!inputs) return std::nullopt;
  const auto sheet = app::makeBatchSheet(*inputs, request, why);
  if (!sheet) return std::nullopt;
  return batchSheetContent(*sheet);
}

bool writeWorkbook(const QString& path, const WorkbookContent& content, QString* error) {
  const QFileInfo target(path);
  const QString file = QDir::toNativeSeparators(target.absoluteFilePath());
  const auto fail = [&](const QString& reason) {
    if (error) *error = QStringLiteral("不能写入 Excel 文件 %1：%2。").arg(file, reason);
    return false;
  };
  if (const QString reason = refusal(target); !reason.isEmpty()) return fail(reason);
  // Beside the file, so that the rename stays on one file system.
  const QString temporary = target.absolutePath() + QStringLiteral("/.%1.%2.tmp")
                                                        .arg(target.fileName())
                                                        .arg(QCoreApplication::applicationPid());
  const lxw_error e = writeSheets(temporary, content);
  if (e != LXW_NO_ERROR) {
    QFile::remove(temporary);
    return fail(writeFailure(e));
  }
  // rename() replaces an existing file in one step.
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target.absoluteFilePath()).constData())) {
    const QString reason = qt_error_string(errno);
    QFile::remove(temporary);
    return fail(QStringLiteral("不能把写好的临时文件改名为它（%1）").arg(reason));
  }
  return true;
}

}  // namespace tessaro::report
