// The library windows' transfers into the main screen's tables 1 and 2.
#include "app/library.h"

#include "app/commandguard.h"
#include "app/materiallimit.h"
#include "core/format.h"

namespace tessaro::app {

using store::Table;

namespace {

QString fixed2(double v) { return QString::fromStdString(core::format2(v)).trimmed(); }

QString general(double v) { return QString::fromStdString(core::formatGeneral(v)); }

const QString kFormulaClosed = QStringLiteral("主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。");

}  // namespace

int Library::firstEmptyCell() {
  // The columns from BH to HJ must be filled.
  const int lastRequired = columnOf(traits_.grid, QStringLiteral("HJ"));
  for (int i = 0; i <= lastRequired; ++i) {
    const QString& field = traits_.columns()[std::size_t(i)].field;
    if (field == QLatin1String("NAME")) {
      if (table_.text(field).isEmpty()) return i;
    } else if (table_.isNull(field)) {
      return i;
    }
  }
  return -1;
}

bool Library::checkIgnitionPart() {
  bool readOk = true;
  const double hj = table_.number(QStringLiteral("HJ"), &readOk);
  double il = 0;
  if (readOk) il = table_.number(QStringLiteral("IL"), &readOk);
  if (!readOk) return engineFailure(table_);
  if (hj - il > 0) return true;
  prompter_.warning(QStringLiteral("“%1”的合计 HJ（%2）不大于灼减 IL（%3），灼烧后没有剩余成分，不能选用。")
                        .arg(table_.text(QStringLiteral("NAME")), general(hj), general(il)));
  return false;
}

bool Library::headerCheck() {
  const TransferSink::Grid grid =
      traits_.kind == LibraryKind::Materials ? TransferSink::Grid::Formula : TransferSink::Grid::Target;
  for (int k = 1; k <= 3; ++k) {
    const int column = columnOf(traits_.grid, otherOxideField(k));
    const QString mine = captions_[column];
    const QString main = sink_.formulaOtherCaption(k);
    if (mine == main) {
      red_[column] = false;
      sink_.setOtherTitleRed(grid, k, false);
      continue;
    }
    red_[column] = true;
    sink_.setOtherTitleRed(grid, k, true);
    prompter_.warning(QStringLiteral("表头不同，主界面表1【") + main + QStringLiteral("】，") + traits_.headerTableWord + mine +
                      QStringLiteral("】") + kCR + QStringLiteral("请改成相同即可，注意表头红色字。") + kCR +
                      QStringLiteral("操作失败！"));
    return false;
  }
  return true;
}

bool Library::transferTablesSound() {
  // Nothing is read from a damaged library, nor written into a table that is
  // damaged or cannot be written.
  Table* to = traits_.kind == LibraryKind::Materials ? sink_.formulaTable() : sink_.targetTable();
  QString refusal = tableRefusal(table_, false);
  if (refusal.isEmpty() && to) refusal = tableRefusal(*to, true);
  if (refusal.isEmpty()) return true;
  prompter_.warning(refusal);
  return false;
}

Library::Transfer Library::JaLu() {
  return guarded(prompter_, [&] {
    if (!usable() || !hasCurrentRecord()) return Transfer::Stopped;
    if (!transferTablesSound()) return Transfer::Stopped;
    if (!headerCheck()) return Transfer::Stopped;
    return transferRecord();
  });
}

Library::Transfer Library::transferRecord() {
  if (isCategoryName(table_.text(QStringLiteral("NAME")))) return Transfer::Skipped;
  if (!checkIgnitionPart()) return Transfer::Stopped;
  const std::optional<Source> source = readSource();
  if (!source) return Transfer::Stopped;
  if (!(traits_.kind == LibraryKind::Materials ? writeMaterial(*source) : writeTarget(*source))) {
    return Transfer::Stopped;
  }
  sink_.recordTransferred();
  return Transfer::Written;
}

std::optional<Library::Source> Library::readSource() {
  // Everything is read before anything is written, so that a damaged field
  // of the library leaves the main screen's tables as they were.
  Source s;
  bool ok = true;
  s.name = table_.text(QStringLiteral("NAME"), &ok);
  for (int m = 0; m < oxideFields().size() && ok; ++m) s.contents[std::size_t(m)] = table_.number(oxideFields()[m], &ok);
  if (ok) s.il = table_.number(QStringLiteral("IL"), &ok);
  if (ok) s.hj = table_.number(QStringLiteral("HJ"), &ok);
  if (ok && traits_.kind == LibraryKind::Materials) s.price = table_.value(QStringLiteral("DJ"), &ok);
  if (ok) s.remark = table_.text(QStringLiteral("BZ"), &ok);
  if (ok) s.date = table_.date(QStringLiteral("DATE"), &ok);
  if (!ok) {
    engineFailure(table_);
    return std::nullopt;
  }
  return s;
}

bool Library::writeCommon(Table& to, const Source& s) {
  // A record whose total is not above its loss on ignition was refused before.
  const core::Contents converted = core::ignitionFree(s.contents, s.hj, s.il).value_or(core::Contents{});
  if (!to.setText(QStringLiteral("NAME"), s.name)) return false;
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) {
    if (!to.setText(QString::fromLatin1(f), QString())) return false;
  }
  for (int m = 0; m < oxideFields().size(); ++m) {
    if (!to.setText(oxideFields()[m], fixed2(converted[std::size_t(m)]))) return false;
  }
  if (!to.setNumber(QStringLiteral("IL"), s.il) || !to.setText(QStringLiteral("BZ"), s.remark)) return false;
  return s.date ? to.setDate(QStringLiteral("DATE"), *s.date) : to.clear(QStringLiteral("DATE"));
}

bool Library::writeFailed(Table& to) {
  const QString why = to.errorString();
  to.cancel();
  prompter_.error(why);
  return false;
}

bool Library::writeMaterial(const Source& s) {
  Table* formula = sink_.formulaTable();
  if (!formula) {
    prompter_.warning(kFormulaClosed);
    return false;
  }
  if (!formula->append()) return engineFailure(*formula);
  if (!writeCommon(*formula, s) ||
      !(s.price ? formula->setNumber(QStringLiteral("DJ"), *s.price) : formula->clear(QStringLiteral("DJ"))) ||
      !formula->setNumber(QStringLiteral("HJ"), s.hj) || !formula->post()) {
    return writeFailed(*formula);
  }
  return true;
}

bool Library::writeTarget(const Source& s) {
  Table* target = sink_.targetTable();
  if (!target) {
    prompter_.warning(QStringLiteral("主界面的表 2（数据库/目标配方.DBF）没有打开，不能输入目标配方。"));
    return false;
  }
  if (target->state() == Table::State::Browse && target->recordCount() > 0 && target->row() < 0 && !target->first()) {
    return engineFailure(*target);
  }
  if (!target->edit()) return engineFailure(*target);
  bool done = writeCommon(*target, s);
  // HJ is the sum of the values as stored, not of the unrounded quotients.
  double sum = 0;
  for (int m = 0; m < oxideFields().size() && done; ++m) sum += target->number(oxideFields()[m], &done);
  if (!done || !target->setText(QStringLiteral("HJ"), fixed2(sum)) || !target->post()) return writeFailed(*target);
  return true;
}

std::optional<int> Library::formulaRecordCount() {
  // Every record of table 1 counts, also those a range of the main screen hides.
  Table* formula = sink_.formulaTable();
  if (!formula) return std::nullopt;
  Table all;
  if (!all.open(formula->filePath())) {
    engineFailure(all);
    return std::nullopt;
  }
  int count = all.recordCount();
  if (formula->state() == Table::State::Insert && formula->isModified()) ++count;
  return count;
}

void Library::rollBackFormula(int written) {
  Table* formula = sink_.formulaTable();
  if (!formula || written <= 0) return;
  // The records of this batch are the last ones of the file.
  Table all;
  if (!all.open(formula->filePath()) || !all.last()) return;
  for (int i = 0; i < written && all.recordCount() > 0; ++i) {
    if (!all.deleteRecord()) return;
  }
}

// --- One record ------------------------------------------------------------------------------

void Library::transferCurrent(int column) {
  guarded(prompter_, [&] {
    if (!usable()) return;
    if (traits_.kind == LibraryKind::Materials) {
      if (transferMaterial(column)) sink_.bringMainScreenForward();
      return;
    }
    transferTarget(column);
  });
}

bool Library::transferMaterial(int column) {
  if (column != 1) return true;
  if (!sink_.formulaTable()) {
    prompter_.warning(kFormulaClosed);
    return false;
  }
  const std::optional<int> inTable = formulaRecordCount();
  if (!inTable) return false;
  if (*inTable + 1 > core::kMaxMaterials) {
    prompter_.warning(singleLimitText(*inTable));
    return false;
  }
  // An empty grid has nothing but empty cells.
  if (!hasCurrentRecord() || firstEmptyCell() >= 0) {
    prompter_.warning(kEmptyCellText);
    return false;
  }
  return JaLu() != Transfer::Stopped;
}

void Library::transferTarget(int column) {
  if (column == 1) {
    if (!hasCurrentRecord() || firstEmptyCell() >= 0) {
      prompter_.warning(kEmptyCellText);
      return;
    }
    if (JaLu() == Transfer::Stopped) return;
  }
  sink_.bringMainScreenForward();
  sink_.showMainScreen();
  sink_.compactDisplayOff();
  sink_.hideResultGrid();
}

// --- Batch -----------------------------------------------------------------------------------

void Library::transferShown() {
  guarded(prompter_, [&] {
    if (!usable() || !traits_.hasBatchInput()) return;
    if (!sink_.formulaTable()) {
      prompter_.warning(kFormulaClosed);
      return;
    }
    if (!transferTablesSound()) return;
    const std::optional<int> selected = checkShownMaterials();
    if (!selected) return;
    const int shown = table_.recordCount();
    if (prompter_.message({MessageKind::Typed, kConfirmCaption, Icon::Question,
                           QStringLiteral("确定要选择原料库所显示的") + QString::number(*selected) +
                               QStringLiteral("种原料？"),
                           {Button::Yes, Button::No}, Button::Yes}) != Button::Yes) {
      return;
    }
    const std::optional<int> inTable = formulaRecordCount();
    if (!inTable) return;
    if (*inTable + *selected > core::kMaxMaterials) {
      prompter_.warning(batchLimitText(*inTable, *selected));
      return;
    }
    if (!writeShownMaterials(shown)) return;
    sink_.hideResultGrid();
    sink_.bringMainScreenForward();
  });
}

std::optional<int> Library::checkShownMaterials() {
  // Every shown raw material must be complete and keep something after firing.
  store::SuspendedDisplay quiet(&table_);
  if (!table_.first()) {
    engineFailure(table_);
    return std::nullopt;
  }
  const int shown = table_.recordCount();
  int categories = 0;
  for (int i = 0; i < shown && !table_.eof(); ++i) {
    if (isCategoryName(table_.text(QStringLiteral("NAME")))) {
      ++categories;
    } else {
      if (firstEmptyCell() >= 0) {
        prompter_.warning(kEmptyCellText);
        return std::nullopt;
      }
      if (!checkIgnitionPart()) return std::nullopt;
    }
    if (!table_.next()) {
      engineFailure(table_);
      return std::nullopt;
    }
  }
  table_.first();
  return shown - categories;
}

bool Library::writeShownMaterials(int shown) {
  // A batch goes in whole or not at all. The tables were found sound before
  // it started; the titles are compared once for all of its records.
  if (shown > 0 && !guarded(prompter_, [&] { return headerCheck(); })) return false;
  int written = 0;
  store::SuspendedDisplay quietLibrary(&table_);
  store::SuspendedDisplay quietFormula(sink_.formulaTable());
  for (int i = 0; i < shown; ++i) {
    const Transfer done =
        guarded(prompter_, [&] { return usable() && hasCurrentRecord() ? transferRecord() : Transfer::Stopped; });
    if (done == Transfer::Stopped) {
      rollBackFormula(written);
      return false;
    }
    // The main screen comes forward with the first record it receives.
    if (done == Transfer::Written && ++written == 1) sink_.bringMainScreenForward();
    if (!table_.next()) {
      engineFailure(table_);
      rollBackFormula(written);
      return false;
    }
  }
  table_.first();
  return true;
}

}  // namespace tessaro::app
