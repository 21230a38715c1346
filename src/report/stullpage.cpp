#include "report/stullpage.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/fitpage.h"

namespace tessaro::report {

namespace {

// Pixels of a saved chart: sharp on a printed page and on a large screen.
const QSize kSavedSize(1600, 1000);

QString moles(const std::optional<double>& v) {
  return v ? QString::fromStdString(core::formatFixed(*v, 3, 0)) : QString();
}

}  // namespace

StullChartView::StullChartView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StullChart"));
  setMinimumSize(480, 300);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void StullChartView::setData(const StullChartData& data) {
  data_ = data;
  update();
}

void StullChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::white);
  paintStullChart(p, QRectF(rect()), data_);
}

StullPage::StullPage(app::Prompter& prompter, QWidget* parent) : QWidget(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("StullPage"));
  chart_ = new StullChartView(this);
  table_ = new FitTable(QStringLiteral("StullTable"),
                        {QStringLiteral("配方"), QStringLiteral("SiO2"), QStringLiteral("Al2O3"), QStringLiteral("区域")},
                        this);
  table_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  auto* save = new QPushButton(QStringLiteral("保存图片..."), this);
  save->setObjectName(QStringLiteral("StullSave"));
  connect(save, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存 Stull 图"),
                                                      QDir::home().filePath(QStringLiteral("Stull图.png")),
                                                      QStringLiteral("PNG 图片 (*.png);;SVG 矢量图 (*.svg)"));
    if (!path.isEmpty()) saveChart(path);
  });
  auto* below = new QHBoxLayout;
  below->addWidget(table_, 1);
  below->addWidget(save, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chart_, 1);
  layout->addLayout(below);
}

void StullPage::showFigures(const app::FitInputs* inputs) {
  StullChartData data;
  if (inputs) data.points = app::stullPoints(*inputs);
  chart_->setData(data);
  table_->clearRows();
  const auto add = [this](const app::StullPoint& p, const QString& prefix) {
    table_->addRow({prefix + p.label, moles(p.silica), moles(p.alumina), p.hasPoint() ? p.region : p.reason}, 1,
                   false, 2);
  };
  for (const app::StullPoint& p : data.points.formulas) add(p, QString());
  if (data.points.target) add(*data.points.target, QStringLiteral("目标："));
  table_->fitColumns();
  // The table shows its rows whole; the chart takes the rest of the page.
  int height = table_->horizontalHeader()->height() + 2 * table_->frameWidth();
  for (int r = 0; r < table_->rowCount(); ++r) height += table_->rowHeight(r);
  table_->setFixedHeight(height);
}

bool StullPage::saveChart(const QString& path) {
  QString error;
  const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
  const bool ok = svg ? writeStullSvg(path, chart_->data(), kSavedSize, &error)
                      : writeStullPng(path, chart_->data(), kSavedSize, &error);
  if (!ok) prompter_.error(error);
  return ok;
}

}  // namespace tessaro::report
