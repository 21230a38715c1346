// The Stull-chart page of the window "配料单与坯釉适应性": the chart of the
// result formulas and the target, drawn to the page's size, with their unity
// formulas and regions, and the chart saved as PNG or SVG.
#pragma once

#include <QWidget>

#include "app/prompter.h"
#include "report/stullchart.h"

namespace tessaro::report {

class FitTable;

// The chart drawn to the widget's size.
class StullChartView : public QWidget {
 public:
  explicit StullChartView(QWidget* parent = nullptr);
  void setData(const StullChartData& data);
  const StullChartData& data() const { return data_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  StullChartData data_;
};

class StullPage : public QWidget {
  Q_OBJECT

 public:
  StullPage(app::Prompter& prompter, QWidget* parent = nullptr);

  // Shows the points of `inputs` (none: the tables could not be read).
  void showFigures(const app::FitInputs* inputs);

  StullChartView* chart() const { return chart_; }
  FitTable* table() const { return table_; }
  // Writes the chart as PNG or SVG (by the file's suffix); false after a
  // message when it cannot be written.
  bool saveChart(const QString& path);

 private:
  app::Prompter& prompter_;
  StullChartView* chart_ = nullptr;
  FitTable* table_ = nullptr;
};

}  // namespace tessaro::report
