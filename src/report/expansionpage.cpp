#include "report/expansionpage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/format.h"
#include "report/fitpage.h"

namespace tessaro::report {

namespace {

const QString kCaveat = QStringLiteral(
    "计算的膨胀系数由各氧化物的加和因子求得，只用于在同一组因子下比较釉料，不是实测值；"
    "不同因子组的数值不能相互比较。");

QString fixed(double v, int decimals) { return QString::fromStdString(core::formatFixed(v, decimals, 0)); }

}  // namespace

ExpansionPage::ExpansionPage(const QString& baseFolder, QWidget* parent) : QWidget(parent), base_(baseFolder) {
  setObjectName(QStringLiteral("ExpansionPage"));
  auto* inputs = new QHBoxLayout;
  auto* setLabel = new QLabel(QStringLiteral("膨胀因子："), this);
  set_ = new QComboBox(this);
  set_->setObjectName(QStringLiteral("ExpansionSet"));
  set_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  setLabel->setBuddy(set_);
  auto* bodyLabel = new QLabel(QStringLiteral("坯的膨胀系数（实测，%1）：").arg(app::kExpansionUnit), this);
  body_ = new QLineEdit(this);
  body_->setObjectName(QStringLiteral("BodyExpansion"));
  body_->setMaximumWidth(120);
  body_->setPlaceholderText(QStringLiteral("例如 65"));
  bodyLabel->setBuddy(body_);
  for (QWidget* w : std::initializer_list<QWidget*>{setLabel, set_}) inputs->addWidget(w);
  inputs->addSpacing(16);
  for (QWidget* w : std::initializer_list<QWidget*>{bodyLabel, body_}) inputs->addWidget(w);
  inputs->addStretch(1);
  connect(set_, &QComboBox::currentTextChanged, this, &ExpansionPage::recompute);
  connect(body_, &QLineEdit::textChanged, this, &ExpansionPage::recompute);

  message_ = sentenceLabel(QStringLiteral("ExpansionMessage"), this);
  table_ = new FitTable(QStringLiteral("ExpansionTable"), {QStringLiteral("氧化物")}, this);
  verdicts_ = sentenceLabel(QStringLiteral("ExpansionVerdicts"), this);
  margins_ = sentenceLabel(QStringLiteral("FitMargins"), this);
  showSentence(margins_, app::fitMarginsText() + QLatin1Char('\n') + kCaveat, false);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(inputs);
  layout->addWidget(message_);
  layout->addWidget(table_, 1);
  layout->addWidget(verdicts_);
  layout->addWidget(margins_);
  showSentence(message_, QString(), false);
  showSentence(verdicts_, QString(), false);
}

void ExpansionPage::showFigures(const app::FitInputs* inputs) {
  inputs_ = inputs;
  listSets();
  recompute();
}

void ExpansionPage::listSets() {
  const QSignalBlocker block(set_);
  const QString chosen = set_->currentText();
  set_->clear();
  set_->addItems(app::expansionSetNames(base_));
  const int at = set_->findText(chosen);
  set_->setCurrentIndex(at >= 0 ? at : 0);
}

void ExpansionPage::recompute() {
  expansions_.clear();
  QString error;
  if (inputs_ && set_->count() == 0) {
    error = QStringLiteral("数据库中没有膨胀因子文件（%1）。").arg(app::expansionSetFileName(QStringLiteral("*")));
  } else if (inputs_) {
    // A body coefficient that is refused leaves the glazes' coefficients shown, without a verdict.
    QString bodyError;
    std::optional<double> body;
    if (!body_->text().trimmed().isEmpty()) body = app::parseBodyAlpha(body_->text(), &bodyError);
    const auto set = app::loadExpansionSet(base_, set_->currentText(), &error);
    if (set) expansions_ = app::formulaExpansions(*inputs_, *set, body);
    if (error.isEmpty()) error = bodyError;
  }
  showSentence(message_, error, true);
  fill();
}

void ExpansionPage::fill() {
  table_->clearRows();
  QStringList titles{QStringLiteral("氧化物")};
  for (const app::FormulaExpansion& f : expansions_) titles << f.label;
  table_->setColumnCount(int(titles.size()));
  table_->setHorizontalHeaderLabels(titles);
  // One row per oxide that any formula counts, in the order the formulas give them.
  QStringList oxides;
  for (const app::FormulaExpansion& f : expansions_)
    for (const app::OxideContribution& c : f.contributions)
      if (!oxides.contains(c.oxide)) oxides << c.oxide;
  for (const QString& oxide : oxides) {
    QStringList row{oxide};
    for (const app::FormulaExpansion& f : expansions_) {
      QString cell;
      for (const app::OxideContribution& c : f.contributions)
        if (c.oxide == oxide) cell = fixed(c.value, 2);
      row << cell;
    }
    table_->addRow(row, 1);
  }
  if (!expansions_.empty()) {
    QStringList alpha{QStringLiteral("膨胀系数 α（%1）").arg(app::kExpansionUnit)};
    for (const app::FormulaExpansion& f : expansions_) alpha << (f.alpha ? fixed(*f.alpha, 1) : QStringLiteral("不能计算"));
    table_->addRow(alpha, 1, true);
  }
  table_->fitColumns();

  QStringList lines;
  bool refused = false;
  for (const app::FormulaExpansion& f : expansions_) {
    if (!f.explanation.isEmpty()) {
      lines << f.label + QStringLiteral("：") + f.explanation;
      refused = true;
    } else if (!f.fit.isEmpty()) {
      lines << f.label + QStringLiteral("：") + f.fit;
    }
  }
  showSentence(verdicts_, lines.join(QLatin1Char('\n')), refused);
}

}  // namespace tessaro::report
