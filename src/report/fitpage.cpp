#include "report/fitpage.h"

#include <QHeaderView>
#include <QLabel>

namespace tessaro::report {

FitTable::FitTable(const QString& objectName, const QStringList& titles, QWidget* parent) : QTableWidget(parent) {
  setObjectName(objectName);
  setColumnCount(int(titles.size()));
  setHorizontalHeaderLabels(titles);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  verticalHeader()->hide();
  // Rows as high as their text needs: the figures stay together on the page.
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setTextElideMode(Qt::ElideNone);
  horizontalHeader()->setStretchLastSection(false);
}

void FitTable::clearRows() {
  clearSpans();
  setRowCount(0);
}

void FitTable::addRow(const QStringList& cells, int firstNumber, bool bold, int lastNumber) {
  if (lastNumber < 0) lastNumber = columnCount() - 1;
  const int row = rowCount();
  insertRow(row);
  for (int c = 0; c < cells.size() && c < columnCount(); ++c) {
    auto* item = new QTableWidgetItem(cells[c]);
    item->setTextAlignment((c >= firstNumber && c <= lastNumber ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (bold) {
      QFont f = item->font();
      f.setBold(true);
      item->setFont(f);
    }
    setItem(row, c, item);
  }
}

void FitTable::addHeading(const QString& text) {
  const int row = rowCount();
  insertRow(row);
  auto* item = new QTableWidgetItem(text);
  QFont f = item->font();
  f.setBold(true);
  item->setFont(f);
  item->setBackground(QColor(0xE6, 0xEE, 0xF8));
  setItem(row, 0, item);
  if (columnCount() > 1) setSpan(row, 0, 1, columnCount());
}

void FitTable::fitColumns() {
  resizeColumnsToContents();
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, columnWidth(c) + 12);
}

QString FitTable::cell(int row, int column) const {
  const QTableWidgetItem* i = item(row, column);
  return i ? i->text() : QString();
}

QLabel* sentenceLabel(const QString& objectName, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(objectName);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

void showSentence(QLabel* label, const QString& text, bool refusal) {
  label->setText(text);
  label->setStyleSheet(refusal ? QStringLiteral("color: #C00000;") : QString());
  label->setVisible(!text.isEmpty());
}

}  // namespace tessaro::report
