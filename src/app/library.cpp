#include "app/library.h"
#include "app/commandguard.h"

#include <QDir>

#include <algorithm>
#include <array>

#include "core/composition.h"
#include "core/format.h"
#include "store/paths.h"
#include "store/profile.h"

namespace tessaro::app {

using store::Table;

namespace {

const QString kStar = QStringLiteral("*");
const QString kOtherDefault = QStringLiteral("其它");

// Names written by the built-in entries of the other-oxide menu, in menu order.
constexpr std::array<const char16_t*, 11> kOxideNames = {u"B2O3", u"BaO", u"BeO", u"Li2O", u"MnO", u"P2O5",
                                                         u"PbO", u"SnO2", u"SrO", u"ZnO", u"ZrO2"};

// Grid positions of the other-oxide columns of both library grids.
constexpr int kFirstOther = 10;
constexpr int kLastOther = 12;
// Grid positions of the columns that must be filled for a transfer: BH to HJ.
constexpr int kLastRequired = 14;
constexpr int kHJColumn = 14;

// The twelve fields that make up HJ: the eleven oxides and the loss on ignition.
const QStringList& hjParts() {
  static const QStringList parts = [] {
    QStringList p;
    for (auto f : core::kOxideFields) p << QString::fromLatin1(f.data(), qsizetype(f.size()));
    p << QStringLiteral("IL");
    return p;
  }();
  return parts;
}

QString oxideField(int m) {
  const auto f = core::kOxideFields[std::size_t(m)];
  return QString::fromLatin1(f.data(), qsizetype(f.size()));
}

QString fixed2(double v) { return QString::fromStdString(core::format2(v)).trimmed(); }

QString general(double v) { return QString::fromStdString(core::formatGeneral(v)); }

QString slashes(QString name) { return name.replace(QLatin1Char('\\'), QLatin1Char('/')); }

QList<LibraryColumn> libraryColumns(LibraryKind kind) {
  const bool materials = kind == LibraryKind::Materials;
  QList<LibraryColumn> c;
  LibraryColumn bh{QStringLiteral("BH"), materials ? 26 : 44, kSkyBlue, true, materials, {}, {}};
  c << bh;
  c << LibraryColumn{QStringLiteral("NAME"), 118, {}, true, false, kNameCell,
                     materials ? std::optional<Colour>() : std::optional<Colour>(kNavyText)};
  for (int m = 0; m < core::kOxideCount; ++m) c << LibraryColumn{oxideField(m), 44, kSkyBlue, true, false, {}, {}};
  c << LibraryColumn{QStringLiteral("IL"), 44, {}, true, false, {}, {}};
  c << LibraryColumn{QStringLiteral("HJ"), 44, kFuchsia, true, false, {}, {}};
  if (materials) {
    c << LibraryColumn{QStringLiteral("DJ"), 44, kPriceTitle, true, false, {}, {}};
    c << LibraryColumn{QStringLiteral("BZ"), -1, {}, false, false, {}, {}};
    c << LibraryColumn{QStringLiteral("DATE"), -1, {}, false, false, {}, {}};
  } else {
    c << LibraryColumn{QStringLiteral("BZ"), 310, {}, false, false, {}, {}};
    c << LibraryColumn{QStringLiteral("DATE"), 86, {}, false, false, {}, {}};
  }
  return c;
}

LibraryTraits makeSpec(LibraryKind kind) {
  LibraryTraits s;
  s.kind = kind;
  s.columns = libraryColumns(kind);
  if (kind == LibraryKind::Materials) {
    s.caption = QStringLiteral("原料库");
    s.tableName = QStringLiteral("数据库\\YLK.DBF");
    s.section = QStringLiteral("原料库");
    s.rootText = QStringLiteral("原料");
    s.headerTableWord = QStringLiteral("原料库表【");
    s.deleteAllQuestion = QStringLiteral("将要删除原料库中的所有记录，不能恢复！");
    s.showAllCaption = QStringLiteral("全部显示　");
    s.showAllHint = QStringLiteral("全部显示");
    s.deleteAllCaption = QStringLiteral("删除原料库");
    s.deleteAllHint = QStringLiteral("删除原料库");
    s.gridHint = QStringLiteral("原料库表");
    s.batchCaption = QStringLiteral("批量输入　");
    s.batchHint = QStringLiteral("将原料库所显示的原料批量输入到主界面的表 1 中");
    s.panelWidth = 113;
    s.navigatorButtons = {NavButton::First, NavButton::Prior,  NavButton::Next, NavButton::Last,
                          NavButton::Insert, NavButton::Delete, NavButton::Post};
  } else {
    s.caption = QStringLiteral("目标库");
    s.tableName = QStringLiteral("数据库\\pfk.dbf");
    s.section = QStringLiteral("pfk");
    s.rootText = QStringLiteral("目标配方");
    s.headerTableWord = QStringLiteral("目标配方库表【");
    s.deleteAllQuestion = QStringLiteral("将要删除目标库中的所有记录，不能恢复！");
    s.showAllCaption = QStringLiteral("全部显示");
    s.showAllHint = QStringLiteral("将分类显示的原料全部显示。");
    s.deleteAllCaption = QStringLiteral("删除目标库");
    s.deleteAllHint = QStringLiteral("删除目标库");
    s.gridHint = QStringLiteral("目标配方库表");
    s.panelWidth = 110;
    s.navigatorButtons = {NavButton::First,  NavButton::Prior,  NavButton::Next, NavButton::Last,
                          NavButton::Insert, NavButton::Delete, NavButton::Post, NavButton::Cancel};
  }
  return s;
}

}  // namespace

// --- Free functions ------------------------------------------------------------------------

QString navigatorHint(NavButton button) {
  switch (button) {
    case NavButton::First: return QStringLiteral("第一条记录");
    case NavButton::Prior: return QStringLiteral("前一条记录");
    case NavButton::Next: return QStringLiteral("下一条记录");
    case NavButton::Last: return QStringLiteral("最后一条记录");
    case NavButton::Insert: return QStringLiteral("插入记录");
    case NavButton::Delete: return QStringLiteral("删除此条记录");
    case NavButton::Edit: return QStringLiteral("编辑记录");
    case NavButton::Post: return QStringLiteral("确定本次修改");
    case NavButton::Cancel: return QStringLiteral("取消编辑");
    case NavButton::Refresh: return QStringLiteral("更新数据");
  }
  return QString();
}

const LibraryTraits& libraryTraits(LibraryKind kind) {
  static const LibraryTraits materials = makeSpec(LibraryKind::Materials);
  static const LibraryTraits targets = makeSpec(LibraryKind::Targets);
  return kind == LibraryKind::Materials ? materials : targets;
}

bool isCategoryName(const QString& name) { return name.contains(kStar); }

RowStyle rowStyle(const QString& name) {
  if (!isCategoryName(name)) return RowStyle{};
  return RowStyle{true, kCategoryRow, kRedText, true};
}

QString singleLimitText(int inTable) {
  return QStringLiteral("选择原料最多不能超过35种。") + kCR + kCR + QStringLiteral("你选择的原料己有") +
         QString::number(inTable) + QStringLiteral("种。") + kCR + QStringLiteral("本次选择的新原料有1种。") + kCR + kCR +
         QStringLiteral("你选择的原料将共有") + QString::number(inTable + 1) + QStringLiteral("种。") + kCR + kCR +
         QStringLiteral("本次选择失效!");
}

QString batchLimitText(int inTable, int selected) {
  return QStringLiteral("选择原料最多不能超过35种。") + kCR + kCR + QStringLiteral("你曾选择的原料己有") +
         QString::number(inTable) + QStringLiteral("种。") + kCR + QStringLiteral("本次选择的新原料有") +
         QString::number(selected) + QStringLiteral("种。") + kCR + kCR + QStringLiteral("你选择的原料将共有") +
         QString::number(inTable + selected) + QStringLiteral("种。") + kCR + kCR + QStringLiteral("本次选择失效!");
}

// --- Creation --------------------------------------------------------------------------------

Library::Library(LibraryKind kind, Prompter& prompter, TransferSink& sink, const QString& baseFolder)
    : traits_(libraryTraits(kind)), prompter_(prompter), sink_(sink), base_(baseFolder) {
  const int n = traits_.columnCount();
  for (int i = 0; i < n; ++i) {
    captions_ << QString();
    red_ << false;
    widths_ << traits_.columns[i].width;
  }
  panelWidth_ = traits_.panelWidth;
  const QString folder = base_.isEmpty() ? store::programFolder() : base_;
  if (!table_.open(folder, traits_.tableName) || !table_.setIndexTag(QStringLiteral("BH"))) {
    const QString why = table_.errorString();
    table_.close();
    prompter_.warning(QStringLiteral("%1 %2 打不开，%3窗口的命令都不能使用。").arg(traits_.caption, slashes(traits_.tableName),
                                                                                  traits_.caption) +
                      kCR + why);
  } else if (!table_.damageReport().isEmpty()) {
    prompter_.warning(table_.damageReport());
  }
  FormCreate();
}

QString Library::settingsFile() const {
  return store::settingsFile(base_);
}

bool Library::titleRed(int column) const { return column >= 0 && column < red_.size() && red_[column]; }

int Library::columnWidth(int column) const { return column >= 0 && column < widths_.size() ? widths_[column] : -1; }

void Library::setColumnWidth(int column, int width) {
  if (column >= 0 && column < widths_.size()) widths_[column] = width;
}

std::optional<std::pair<int, int>> Library::filterRange() const {
  if (!table_.isOpen() || !table_.hasRange()) return std::nullopt;
  return range_;
}

Pointer Library::gridPointer(int x) const {
  const int bh = std::max(widths_[0], 0);
  const int name = std::max(widths_[1], 0);
  return (x > 12 && x < 12 + bh + name) ? Pointer::PointingHand : Pointer::Arrow;
}

void Library::panelMouseUp(int x) { panelWidth_ = std::max(x, kMinPanelWidth); }

void Library::show() {
  visible_ = true;
  childWindow_ = true;
  minimised_ = false;
}

void Library::FormClose() {
  // The material library stays inside the frame, minimised; the target
  // library leaves the frame and is minimised as a window of its own.
  if (traits_.kind == LibraryKind::Targets) childWindow_ = false;
  minimised_ = true;
}

bool Library::engineFailure(const Table& t) {
  prompter_.warning(t.errorString());
  return false;
}

bool Library::hasCurrentRecord() const {
  if (!table_.isOpen()) return false;
  if (table_.state() == Table::State::Insert || table_.state() == Table::State::Edit) return true;
  return table_.recordCount() > 0 && table_.row() >= 0;
}

// --- Creation and refresh ------------------------------------------------------------------

void Library::FormCreate() {
  const QString file = settingsFile();
  for (int i = 0; i < captions_.size(); ++i) captions_[i] = store::Profile::read(file, traits_.section, QString::number(i));
  rebuildTree();
}

void Library::rebuildTree() {
  tree_ = CategoryTree{};
  if (table_.isOpen()) {
    store::SuspendedDisplay quiet(&table_);
    if (!table_.first()) engineFailure(table_);
    tree_.hasRoot = true;
    tree_.root = traits_.rootText;
    const int count = table_.recordCount();
    for (int i = 0; i < count && !table_.eof(); ++i) {
      const QString name = table_.text(QStringLiteral("NAME"));
      if (isCategoryName(name)) tree_.nodes << name;
      if (!table_.next()) break;
    }
    table_.first();
  } else {
    tree_.hasRoot = true;
    tree_.root = traits_.rootText;
  }
}

// --- Category filter -----------------------------------------------------------------------

void Library::TreeView1DblClick(int node, const QList<int>& selected) {
  if (!usable()) return;
  showAllVisible_ = true;
  store::SuspendedDisplay quiet(&table_);
  // Errors while the filter is set leave the whole library shown, without a message.
  table_.cancelRange();
  range_.reset();
  table_.last();
  lastBH_ = table_.recordCount() > 0 ? table_.integer(QStringLiteral("BH")) : 0;
  table_.first();
  if (node < 0 || node >= tree_.nodes.size()) return;

  // The neighbour: the next sibling, else the previous one, else the root.
  // In the target window siblings selected together with the node are passed over.
  const bool skipSelected = traits_.kind == LibraryKind::Targets;
  auto free = [&](int i) { return !skipSelected || i == node || !selected.contains(i); };
  int neighbour = -1;
  for (int i = node + 1; i < tree_.nodes.size() && neighbour < 0; ++i) {
    if (free(i)) neighbour = i;
  }
  for (int i = node - 1; i >= 0 && neighbour < 0; --i) {
    if (free(i)) neighbour = i;
  }

  // A node whose category row was renamed or deleted since the tree was
  // built can no longer be found: say so and build the tree afresh.
  auto lookUp = [&](const QString& name) -> std::optional<int> {
    if (!table_.setOrder(QStringLiteral("NAME")) || !table_.findKey(name)) return std::nullopt;
    return table_.integer(QStringLiteral("BH"));
  };
  const QString& startName = tree_.nodes[node];
  std::optional<int> start = lookUp(startName);
  QString missing = start ? QString() : startName;
  std::optional<int> endBH;
  if (start && neighbour > node) {
    const std::optional<int> after = lookUp(tree_.nodes[neighbour]);
    if (after) {
      endBH = *after - 1;
    } else {
      missing = tree_.nodes[neighbour];
    }
  }
  table_.setIndexTag(QStringLiteral("BH"));
  if (!missing.isEmpty()) {
    prompter_.information(QStringLiteral("分类标签“%1”在%2中已找不到，分类标签已按%2重新列出。").arg(missing, traits_.caption));
    rebuildTree();
    return;
  }
  // The last category, and the only one, reaches the greatest BH.
  const int end = endBH ? *endBH : lastBH_;
  if (table_.setRange(*start, end)) range_ = std::make_pair(*start, end);
  table_.first();
}

// --- Enter key -----------------------------------------------------------------------------

int Library::DBGrid1KeyPress(int column) {
  currentColumn_ = column;
  if (!usable()) return column;
  const int last = traits_.columnCount() - 1;
  if (column < 0 || column > last) return column;

  if (column < kHJColumn) {
    const QString name = hasCurrentRecord() ? table_.text(QStringLiteral("NAME")) : QString();
    if (isCategoryName(name)) {
      prompter_.message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                         QStringLiteral("分类标签前必须加“*”，否则不能加“*”"), {Button::Ok}, Button::Ok});
      if (tree_.hasRoot) tree_.nodes << name;
      // Leaving the record posts the name; the tree is then built from the table.
      if (!table_.first()) engineFailure(table_);
      FormCreate();
      return currentColumn_;
    }
    return currentColumn_ = column + 1;
  }

  if (column == kHJColumn) {
    if (!hasCurrentRecord()) return currentColumn_ = column + 1;
    // Empty parts count as 0 and are stored as 0; HJ is their sum as "%8.2f" shows it.
    const bool wasEditing = table_.state() != Table::State::Browse;
    if (!table_.edit()) {
      engineFailure(table_);
      return column;
    }
    QStringList zeroed;
    auto fail = [&] {
      // Changes typed before the Enter key stay; only this command's are undone.
      const QString why = table_.errorString();
      if (wasEditing) {
        for (const QString& f : zeroed) table_.clear(f);
      } else {
        table_.cancel();
      }
      prompter_.warning(why);
      return column;
    };
    double sum = 0;
    for (const QString& field : hjParts()) {
      bool ok = true;
      const std::optional<double> v = table_.value(field, &ok);
      if (!ok) return fail();
      if (!v) {
        if (!table_.setText(field, QStringLiteral("0"))) return fail();
        zeroed << field;
      }
      sum += v.value_or(0);
    }
    if (!table_.setText(QStringLiteral("HJ"), fixed2(sum)) || !table_.post()) return fail();
    return currentColumn_ = column + 1;
  }

  if (column < last) return currentColumn_ = column + 1;

  // DATE: on to a new record, unless the cursor stands at the end-of-table mark.
  if (table_.eof()) return column;
  if (!table_.append()) {
    engineFailure(table_);
    return column;
  }
  return currentColumn_ = 0;
}

// --- Navigator -------------------------------------------------------------------------------

bool Library::DBNavigatorBeforeAction(NavButton button) {
  if (traits_.kind == LibraryKind::Materials) {
    if (button != NavButton::Insert && button != NavButton::Delete && button != NavButton::Edit) return true;
    return prompter_.message({MessageKind::Typed, kConfirmCaption, Icon::Question, QStringLiteral(" 确定修改原料库吗？"),
                              {Button::Yes, Button::No}, Button::Yes}) == Button::Yes;
  }
  if (button != NavButton::Delete) return true;
  const QString name = hasCurrentRecord() ? table_.text(QStringLiteral("NAME")) : QString();
  return prompter_.message({MessageKind::Captioned, QStringLiteral("删除 记录"), Icon::Warning,
                            QStringLiteral(" 确定要删除“") + name + QStringLiteral("”记录吗？"),
                            {Button::Yes, Button::No}, Button::No}) == Button::Yes;
}

void Library::DBNavigatorClick(NavButton button) {
  if (!usable()) return;
  // Failures of these steps leave the table as it is, without a message.
  if (button == NavButton::Insert) {
    table_.cancelRange();
    range_.reset();
    table_.insert();
    currentColumn_ = 0;
  } else if (button == NavButton::Delete) {
    table_.first();
    FormCreate();
  }
}

bool Library::navigate(NavButton button) {
  if (!usable()) return false;
  if (button == NavButton::Delete && !hasCurrentRecord()) return false;
  if (!DBNavigatorBeforeAction(button)) return false;
  bool done = true;
  switch (button) {
    case NavButton::First: done = table_.first(); break;
    case NavButton::Prior: done = table_.prior(); break;
    case NavButton::Next: done = table_.next(); break;
    case NavButton::Last: done = table_.last(); break;
    case NavButton::Insert: done = table_.insert(); break;
    case NavButton::Delete: done = table_.deleteRecord(); break;
    case NavButton::Edit: done = table_.edit(); break;
    case NavButton::Post: done = table_.post(); break;
    case NavButton::Cancel: table_.cancel(); break;
    case NavButton::Refresh: done = table_.refresh(); break;
  }
  if (!done) return engineFailure(table_);
  DBNavigatorClick(button);
  return true;
}

// --- Delete all, panel, show all -------------------------------------------------------------

void Library::deleteAllClick() {
  if (!usable()) return;
  const int count = table_.recordCount();
  if (count == 0) return;
  if (prompter_.message({MessageKind::Typed, kWarningCaption, Icon::Warning, traits_.deleteAllQuestion,
                         {Button::Yes, Button::No}, Button::No}) != Button::Yes) {
    return;
  }
  store::SuspendedDisplay quiet(&table_);
  if (!hasCurrentRecord() && !table_.first()) {
    engineFailure(table_);
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (table_.text(QStringLiteral("NAME")).isEmpty()) {
      // The cursor does not pass a record without a name: nothing after it goes.
      const int left = table_.recordCount();
      QString where;
      if (!table_.isNull(QStringLiteral("BH"))) where = QStringLiteral("（编号 %1）").arg(table_.text(QStringLiteral("BH")));
      prompter_.information(QStringLiteral("有一条记录没有名称%1，它不能删除，删除到此为止；").arg(where) + kCR +
                            QStringLiteral("还有%1条记录没有删除。").arg(left));
      return;
    }
    if (!table_.deleteRecord()) {
      engineFailure(table_);
      return;
    }
    tree_ = CategoryTree{};
    if (table_.recordCount() == 0) break;
  }
}

void Library::closePanelClick() {
  if (!usable()) return;
  panelVisible_ = false;
  showAllVisible_ = true;
}

void Library::showAllClick() {
  if (!usable()) return;
  if (!table_.cancelRange()) engineFailure(table_);
  range_.reset();
  panelVisible_ = true;
  showAllVisible_ = false;
}

// --- Other oxides --------------------------------------------------------------------------

std::optional<QPoint> Library::DBGrid1TitleClick(int column) {
  if (!usable() || column < kFirstOther || column > kLastOther) return std::nullopt;
  selectedOther_ = column;
  return QPoint(60 * column + std::max(widths_[0], 0), 138);
}

bool Library::setOtherCaption(int column, const QString& name) {
  const auto written = store::Profile::write(settingsFile(), traits_.section, QString::number(column), name);
  if (!written) {
    prompter_.warning(written.error());
    return false;
  }
  captions_[column] = name;
  return true;
}

bool Library::chooseOtherOxide(int entry) {
  if (!usable() || entry < 0 || entry >= int(kOxideNames.size())) return false;
  if (selectedOther_ < kFirstOther || selectedOther_ > kLastOther) return false;
  return setOtherCaption(selectedOther_, QString::fromUtf16(kOxideNames[std::size_t(entry)]));
}

bool Library::MenuItem12Click() {
  if (!usable() || selectedOther_ < kFirstOther || selectedOther_ > kLastOther) return false;
  const QString name = prompter_
                           .inputBox(QStringLiteral("输入氧化物名称。"), QStringLiteral("注意大小写，它关系到下面的计算。。。...."),
                                     kOtherDefault)
                           .value_or(kOtherDefault);
  if (name.trimmed().isEmpty()) {
    prompter_.warning(QStringLiteral("氧化物名称不能为空，“%1”列的名称没有改变。").arg(captions_[selectedOther_]));
    return false;
  }
  if (name != kOtherDefault) return setOtherCaption(selectedOther_, name);
  return setOtherCaption(selectedOther_, kOtherDefault + QString::number(selectedOther_ - kFirstOther + 1));
}

// --- Transfers -----------------------------------------------------------------------------

int Library::firstEmptyCell() {
  for (int i = 0; i <= kLastRequired; ++i) {
    const QString& field = traits_.columns[i].field;
    if (field == QLatin1String("NAME")) {
      if (table_.text(field).isEmpty()) return i;
    } else if (table_.isNull(field)) {
      return i;
    }
  }
  return -1;
}

bool Library::checkIgnitionPart(bool* ok) {
  bool readOk = true;
  const double hj = table_.number(QStringLiteral("HJ"), &readOk);
  double il = 0;
  if (readOk) il = table_.number(QStringLiteral("IL"), &readOk);
  if (!readOk) {
    *ok = false;
    return engineFailure(table_);
  }
  *ok = true;
  if (hj - il > 0) return true;
  prompter_.warning(QStringLiteral("“%1”的合计 HJ（%2）不大于灼减 IL（%3），灼烧后没有剩余成分，不能选用。")
                        .arg(table_.text(QStringLiteral("NAME")), general(hj), general(il)));
  return false;
}

bool Library::headerCheck() {
  const TransferSink::Grid grid =
      traits_.kind == LibraryKind::Materials ? TransferSink::Grid::Formula : TransferSink::Grid::Target;
  for (int k = 1; k <= 3; ++k) {
    const int column = 9 + k;
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
  if (!usable() || !hasCurrentRecord()) return Transfer::Stopped;
  if (!transferTablesSound()) return Transfer::Stopped;
  if (!headerCheck()) return Transfer::Stopped;
  if (isCategoryName(table_.text(QStringLiteral("NAME")))) return Transfer::Skipped;
  bool ok = true;
  if (!checkIgnitionPart(&ok)) return Transfer::Stopped;
  const std::optional<Source> source = readSource();
  if (!source) return Transfer::Stopped;
  if (!(traits_.kind == LibraryKind::Materials ? writeMaterial(*source) : writeTarget(*source))) return Transfer::Stopped;
  sink_.recordTransferred();
  sink_.bringMainScreenForward();
  return Transfer::Written;
}

std::optional<Library::Source> Library::readSource() {
  // Everything is read before anything is written, so that a damaged field
  // of the library leaves the main screen's tables as they were.
  Source s;
  bool ok = true;
  s.name = table_.text(QStringLiteral("NAME"), &ok);
  for (int m = 0; m < core::kOxideCount && ok; ++m) s.contents[std::size_t(m)] = table_.number(oxideField(m), &ok);
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
  const double divisor = s.hj - s.il;
  if (!to.setText(QStringLiteral("NAME"), s.name)) return false;
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) {
    if (!to.setText(QString::fromLatin1(f), QString())) return false;
  }
  for (int m = 0; m < core::kOxideCount; ++m) {
    if (!to.setText(oxideField(m), fixed2(s.contents[std::size_t(m)] / divisor * 100))) return false;
  }
  if (!to.setNumber(QStringLiteral("IL"), s.il) || !to.setText(QStringLiteral("BZ"), s.remark)) return false;
  return s.date ? to.setDate(QStringLiteral("DATE"), *s.date) : to.clear(QStringLiteral("DATE"));
}

bool Library::writeMaterial(const Source& s) {
  Table* formula = sink_.formulaTable();
  if (!formula) {
    prompter_.warning(QStringLiteral("主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。"));
    return false;
  }
  if (!formula->append()) return engineFailure(*formula);
  if (!writeCommon(*formula, s) ||
      !(s.price ? formula->setNumber(QStringLiteral("DJ"), *s.price) : formula->clear(QStringLiteral("DJ"))) ||
      !formula->setNumber(QStringLiteral("HJ"), s.hj) || !formula->post()) {
    const QString why = formula->errorString();
    formula->cancel();
    prompter_.warning(why);
    return false;
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
  for (int m = 0; m < core::kOxideCount && done; ++m) sum += target->number(oxideField(m), &done);
  if (!done || !target->setText(QStringLiteral("HJ"), fixed2(sum)) || !target->post()) {
    const QString why = target->errorString();
    target->cancel();
    prompter_.warning(why);
    return false;
  }
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

void Library::DBGrid1DblClick(int column) {
  if (!usable()) return;
  if (traits_.kind == LibraryKind::Materials) {
    if (column != 1) {
      sink_.bringMainScreenForward();
      return;
    }
    if (!sink_.formulaTable()) {
      prompter_.warning(QStringLiteral("主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。"));
      return;
    }
    const std::optional<int> inTable = formulaRecordCount();
    if (!inTable) return;
    if (*inTable + 1 > kMaxMaterials) {
      prompter_.warning(singleLimitText(*inTable));
      return;
    }
    // An empty grid has nothing but empty cells.
    if (!hasCurrentRecord() || firstEmptyCell() >= 0) {
      prompter_.warning(kEmptyCellText);
      return;
    }
    if (JaLu() == Transfer::Stopped) return;
    sink_.bringMainScreenForward();
    return;
  }

  if (column == 1) {
    if (!hasCurrentRecord() || firstEmptyCell() >= 0) {
      prompter_.warning(kEmptyCellText);
      return;
    }
    if (JaLu() == Transfer::Stopped) return;
  }
  sink_.bringMainScreenForward();
  sink_.pressMainScreenButton();
  sink_.compactDisplayOff();
  sink_.hideResultGrid();
}

void Library::SpeedButton1Click() {
  if (!usable() || !traits_.hasBatchInput()) return;
  if (!sink_.formulaTable()) {
    prompter_.warning(QStringLiteral("主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。"));
    return;
  }
  if (!transferTablesSound()) return;
  int shown = 0;
  int categories = 0;
  {
    store::SuspendedDisplay quiet(&table_);
    if (!table_.first()) {
      engineFailure(table_);
      return;
    }
    shown = table_.recordCount();
    // Every shown raw material must be complete and keep something after firing.
    for (int i = 0; i < shown && !table_.eof(); ++i) {
      if (isCategoryName(table_.text(QStringLiteral("NAME")))) {
        ++categories;
      } else {
        if (firstEmptyCell() >= 0) {
          prompter_.warning(kEmptyCellText);
          return;
        }
        bool ok = true;
        if (!checkIgnitionPart(&ok)) return;
      }
      if (!table_.next()) {
        engineFailure(table_);
        return;
      }
    }
    table_.first();
  }
  const int selected = shown - categories;
  if (prompter_.message({MessageKind::Typed, kConfirmCaption, Icon::Question,
                         QStringLiteral("确定要选择原料库所显示的") + QString::number(selected) + QStringLiteral("种原料？"),
                         {Button::Yes, Button::No}, Button::Yes}) != Button::Yes) {
    return;
  }
  const std::optional<int> inTable = formulaRecordCount();
  if (!inTable) return;
  if (*inTable + selected > kMaxMaterials) {
    prompter_.warning(batchLimitText(*inTable, selected));
    return;
  }
  int written = 0;
  {
    store::SuspendedDisplay quietLibrary(&table_);
    store::SuspendedDisplay quietFormula(sink_.formulaTable());
    for (int i = 0; i < shown; ++i) {
      const Transfer done = JaLu();
      if (done == Transfer::Stopped) {
        // A batch goes in whole or not at all.
        rollBackFormula(written);
        return;
      }
      if (done == Transfer::Written) ++written;
      if (!table_.next()) {
        engineFailure(table_);
        rollBackFormula(written);
        return;
      }
    }
    table_.first();
  }
  sink_.hideResultGrid();
  sink_.bringMainScreenForward();
}

}  // namespace tessaro::app
