#include "reportpage.h"

#include <QFileInfo>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace tessaro::report {

QPageLayout reportPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

QPageLayout batchPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

bool writePdf(const QString& path, const QString& docName, const std::function<void(QPrinter&)>& setUp,
              const std::function<void(QPainter&, QPrinter&)>& paint, QString* error) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setCreator(QStringLiteral("Tessaro"));
  printer.setDocName(docName);
  setUp(printer);
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = QStringLiteral("不能写入 PDF 文件 %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  paint(painter, printer);
  if (!painter.end() || QFileInfo(path).size() == 0) {
    if (error) *error = QStringLiteral("写入 PDF 文件 %1 失败").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  return true;
}

}  // namespace tessaro::report
