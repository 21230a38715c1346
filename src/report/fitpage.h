// What the pages of the window "配料单与坯釉适应性" share: a table of texts
// whose columns fit their widest text, and the messages of their buttons.
#pragma once

#include <QString>
#include <QStringList>
#include <QTableWidget>

#include "app/fitinputs.h"

class QLabel;

namespace tessaro::report {

// A read-only table of texts; numbers are right-aligned, nothing is elided
// and every column is as wide as its widest text.
class FitTable : public QTableWidget {
 public:
  FitTable(const QString& objectName, const QStringList& titles, QWidget* parent = nullptr);

  // Starts again with no rows.
  void clearRows();
  // Adds a row; the cells from `firstNumber` to `lastNumber` (-1: the last
  // column) are numbers. A bold row sums up.
  void addRow(const QStringList& cells, int firstNumber, bool bold = false, int lastNumber = -1);
  // A row holding one text across the table (a formula's heading).
  void addHeading(const QString& text);
  // Sizes the columns to their texts.
  void fitColumns();
  // The text of a cell; empty outside the table.
  QString cell(int row, int column) const;
};

// A label for a sentence about the figures: wrapped, selectable, red for a refusal.
QLabel* sentenceLabel(const QString& objectName, QWidget* parent);
void showSentence(QLabel* label, const QString& text, bool refusal);

}  // namespace tessaro::report
