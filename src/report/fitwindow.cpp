#include "report/fitwindow.h"

#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "report/batchpage.h"
#include "report/expansionpage.h"
#include "report/fitpage.h"
#include "report/stullpage.h"

namespace tessaro::report {

FitWindow::FitWindow(app::Prompter& prompter, const QString& baseFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), base_(baseFolder) {
  setObjectName(QStringLiteral("FitForm"));
  setWindowTitle(kFitWindowTitle);
  error_ = sentenceLabel(QStringLiteral("FitReadError"), this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("FitTabs"));
  expansion_ = new ExpansionPage(baseFolder, this);
  stull_ = new StullPage(prompter, this);
  batch_ = new BatchPage(prompter, baseFolder, this);
  tabs_->addTab(expansion_, QStringLiteral("热膨胀与坯釉适应性"));
  tabs_->addTab(stull_, QStringLiteral("Stull 图"));
  tabs_->addTab(batch_, QStringLiteral("配料单"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(error_);
  layout->addWidget(tabs_, 1);
  showSentence(error_, QString(), false);
  resize(960, 640);
}

void FitWindow::open() {
  if (isVisible()) refresh();
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void FitWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void FitWindow::refresh() {
  if (!isVisible()) return;
  QString error;
  inputs_ = app::readFitInputs(base_, &error);
  if (inputs_ && inputs_->formulas.empty()) {
    error = QStringLiteral("表3中没有计算结果，请先进行配方计算或验算组成。");
  }
  readError_ = error;
  showSentence(error_, error, !inputs_);
  const app::FitInputs* in = inputs_ ? &*inputs_ : nullptr;
  expansion_->showFigures(in);
  stull_->showFigures(in);
  batch_->showFigures(in);
}

QString FitWindow::readError() const { return readError_; }

}  // namespace tessaro::report
