#include "app/library.h"

#include <algorithm>

#include "app/commandguard.h"
#include "app/datafolder.h"
#include "core/format.h"
#include "store/paths.h"
#include "store/profile.h"

namespace tessaro::app {

using store::Table;

namespace {

const QString kStar = QStringLiteral("*");

LibraryTraits makeTraits(LibraryKind kind) {
  LibraryTraits s;
  s.kind = kind;
  if (kind == LibraryKind::Materials) {
    s.caption = QStringLiteral("原料库");
    s.tableName = kMaterialLibraryName;
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
    s.grid = Grid::MaterialLibrary;
    s.navigatorButtons = {NavButton::First, NavButton::Prior,  NavButton::Next, NavButton::Last,
                          NavButton::Insert, NavButton::Delete, NavButton::Post};
  } else {
    s.caption = QStringLiteral("目标库");
    s.tableName = kTargetLibraryName;
    s.rootText = QStringLiteral("目标配方");
    s.headerTableWord = QStringLiteral("目标配方库表【");
    s.deleteAllQuestion = QStringLiteral("将要删除目标库中的所有记录，不能恢复！");
    s.showAllCaption = QStringLiteral("全部显示");
    s.showAllHint = QStringLiteral("将分类显示的原料全部显示。");
    s.deleteAllCaption = QStringLiteral("删除目标库");
    s.deleteAllHint = QStringLiteral("删除目标库");
    s.gridHint = QStringLiteral("目标配方库表");
    s.panelWidth = 110;
    s.grid = Grid::TargetLibrary;
    s.navigatorButtons = {NavButton::First,  NavButton::Prior,  NavButton::Next, NavButton::Last,
                          NavButton::Insert, NavButton::Delete, NavButton::Post, NavButton::Cancel};
  }
  return s;
}

// The twelve fields that make up HJ: the eleven oxides and the loss on ignition.
const QStringList& hjParts() {
  static const QStringList parts = oxideFields() + QStringList{QStringLiteral("IL")};
  return parts;
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
  static const LibraryTraits materials = makeTraits(LibraryKind::Materials);
  static const LibraryTraits targets = makeTraits(LibraryKind::Targets);
  return kind == LibraryKind::Materials ? materials : targets;
}

bool isCategoryName(const QString& name) { return name.contains(kStar); }

RowStyle rowStyle(const QString& name) {
  if (!isCategoryName(name)) return RowStyle{};
  return RowStyle{true, palette::kLavender, palette::kRed, true};
}

// --- Creation --------------------------------------------------------------------------------

Library::Library(LibraryKind kind, Prompter& prompter, TransferSink& sink, const QString& baseFolder)
    : traits_(libraryTraits(kind)), prompter_(prompter), sink_(sink), base_(baseFolder) {
  guarded(prompter_, [&] {
    for (const GridColumn& c : traits_.columns()) {
      captions_ << QString();
      red_ << false;
      widths_ << c.width;
    }
    panelWidth_ = traits_.panelWidth;
    const QString folder = base_.isEmpty() ? store::programFolder() : base_;
    if (!table_.open(folder, traits_.tableName) || !table_.setIndexTag(QStringLiteral("BH"))) {
      const QString why = table_.errorString();
      table_.close();
      prompter_.warning(QStringLiteral("%1 %2 打不开，%3窗口的命令都不能使用。")
                            .arg(traits_.caption, shownRelativeName(traits_.tableName), traits_.caption) +
                        kCR + why);
    } else if (!table_.damageReport().isEmpty()) {
      prompter_.warning(table_.damageReport());
    }
    readCaptionsAndTree();
  });
}

QString Library::settingsFile() const { return store::settingsFile(base_); }

bool Library::titleRed(int column) const { return column >= 0 && column < red_.size() && red_[column]; }

int Library::columnWidth(int column) const { return column >= 0 && column < widths_.size() ? widths_[column] : -1; }

void Library::setColumnWidth(int column, int width) {
  if (column >= 0 && column < widths_.size()) widths_[column] = width;
}

std::optional<std::pair<int, int>> Library::filterRange() const {
  if (!table_.isOpen()) return std::nullopt;
  const auto bounds = table_.range();
  if (!bounds) return std::nullopt;
  return std::pair{bounds->first.toInt(), bounds->second.toInt()};
}

Pointer Library::gridPointer(int x) const {
  const int bh = std::max(widths_[0], 0);
  const int name = std::max(widths_[1], 0);
  return (x > kRowIndicatorWidth && x < kRowIndicatorWidth + bh + name) ? Pointer::PointingHand : Pointer::Arrow;
}

void Library::resizePanel(int x) { panelWidth_ = std::max(x, kMinPanelWidth); }

void Library::show() {
  visible_ = true;
  childWindow_ = true;
  minimised_ = false;
}

void Library::close() {
  if (traits_.kind == LibraryKind::Targets) childWindow_ = false;
  minimised_ = true;
}

bool Library::engineFailure(const Table& t) { return app::engineFailure(prompter_, t); }

bool Library::hasCurrentRecord() const {
  if (!table_.isOpen()) return false;
  if (table_.state() == Table::State::Insert || table_.state() == Table::State::Edit) return true;
  return table_.recordCount() > 0 && table_.row() >= 0;
}

// --- Titles and tree -------------------------------------------------------------------------

void Library::refresh() {
  guarded(prompter_, [&] { readCaptionsAndTree(); });
}

void Library::readCaptionsAndTree() {
  captions_ = readCaptions(traits_.grid, settingsFile());
  rebuildTree();
}

void Library::rebuildTree() {
  tree_ = CategoryTree{};
  tree_.hasRoot = true;
  tree_.root = traits_.rootText;
  if (!table_.isOpen()) return;
  store::SuspendedDisplay quiet(&table_);
  if (!table_.first()) engineFailure(table_);
  // Row by row: a move to a row costs the same wherever it lies.
  const QString nameField = QStringLiteral("NAME");
  const int count = table_.recordCount();
  for (int i = 0; i < count && table_.moveTo(i); ++i) {
    // A "*" in GBK text is the byte '*' (no double-byte character holds
    // it), so only names with that byte are decoded and looked at.
    if (!table_.rawBytes(nameField).contains('*')) continue;
    const QString name = table_.text(nameField);
    if (isCategoryName(name)) tree_.nodes << name;
  }
  table_.first();
}

// --- Category filter -----------------------------------------------------------------------

void Library::filterByCategory(int node, const QList<int>& selected) {
  guarded(prompter_, [&] {
    if (!usable()) return;
    showAllVisible_ = true;
    store::SuspendedDisplay quiet(&table_);
    // Errors while the filter is set leave the whole library shown, without a message.
    table_.cancelRange();
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
    const std::optional<int> start = lookUp(tree_.nodes[node]);
    QString missing = start ? QString() : tree_.nodes[node];
    std::optional<int> endBH;
    if (start && neighbour > node) {
      const std::optional<int> after = lookUp(tree_.nodes[neighbour]);
      if (after) endBH = *after - 1;
      else missing = tree_.nodes[neighbour];
    }
    table_.setIndexTag(QStringLiteral("BH"));
    if (!missing.isEmpty()) {
      prompter_.information(
          QStringLiteral("分类标签“%1”在%2中已找不到，分类标签已按%2重新列出。").arg(missing, traits_.caption));
      rebuildTree();
      return;
    }
    // The last category, and the only one, reaches the greatest BH.
    const int end = endBH ? *endBH : lastBH_;
    table_.setRange(*start, end);
    table_.first();
  });
}

// --- Enter key -----------------------------------------------------------------------------

int Library::pressEnter(int column) {
  return guarded(prompter_, [&] {
    currentColumn_ = column;
    if (!usable()) return column;
    const int last = traits_.columnCount() - 1;
    const int hj = columnOf(traits_.grid, QStringLiteral("HJ"));
    if (column < 0 || column > last) return column;
    if (column < hj) {
      const QString name = hasCurrentRecord() ? table_.text(QStringLiteral("NAME")) : QString();
      if (isCategoryName(name)) return categoryEntered(name);
      return currentColumn_ = column + 1;
    }
    if (column == hj) return sumOnHJ(column);
    if (column < last) return currentColumn_ = column + 1;

    // DATE: on to a new record, unless the cursor stands at the end-of-table mark.
    if (table_.eof()) return column;
    if (!table_.append()) {
      engineFailure(table_);
      return column;
    }
    return currentColumn_ = 0;
  });
}

int Library::categoryEntered(const QString& name) {
  prompter_.message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                     QStringLiteral("分类标签前必须加“*”，否则不能加“*”"), {Button::Ok}, Button::Ok});
  if (tree_.hasRoot) tree_.nodes << name;
  // Leaving the record posts the name; the tree is then built from the table.
  if (!table_.first()) engineFailure(table_);
  readCaptionsAndTree();
  return currentColumn_;
}

int Library::sumOnHJ(int column) {
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
    prompter_.error(why);
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
  const QString shown = QString::fromStdString(core::format2(sum)).trimmed();
  if (!table_.setText(QStringLiteral("HJ"), shown) || !table_.post()) return fail();
  return currentColumn_ = column + 1;
}

// --- Navigator -------------------------------------------------------------------------------

bool Library::confirm(NavButton button) {
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

void Library::afterNavigation(NavButton button) {
  // Failures of these steps leave the table as it is, without a message.
  if (button == NavButton::Insert) {
    table_.cancelRange();
    table_.insert();
    currentColumn_ = 0;
  } else if (button == NavButton::Delete) {
    table_.first();
    readCaptionsAndTree();
  }
}

bool Library::navigate(NavButton button) {
  return guarded(prompter_, [&] {
    if (!usable()) return false;
    if (button == NavButton::Delete && !hasCurrentRecord()) return false;
    if (!confirm(button)) return false;
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
    afterNavigation(button);
    return true;
  });
}

// --- Delete all, panel, show all -------------------------------------------------------------

void Library::deleteAll() {
  guarded(prompter_, [&] {
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
  });
}

void Library::closeCategoryPanel() {
  guarded(prompter_, [&] {
    if (!usable()) return;
    panelVisible_ = false;
    showAllVisible_ = true;
  });
}

void Library::showAll() {
  guarded(prompter_, [&] {
    if (usable()) showWholeLibrary();
  });
}

void Library::showWholeLibrary() {
  if (!table_.cancelRange()) engineFailure(table_);
  panelVisible_ = true;
  showAllVisible_ = false;
}

// --- Other oxides --------------------------------------------------------------------------

std::optional<QPoint> Library::selectOtherColumn(int column) {
  return guarded(prompter_, [&]() -> std::optional<QPoint> {
    if (!usable() || otherOxideAt(traits_.grid, column) == 0) return std::nullopt;
    selectedOther_ = column;
    return QPoint(60 * column + std::max(widths_[0], 0), 138);
  });
}

bool Library::setOtherCaption(int column, const QString& name) {
  const CaptionKey& key = gridColumns(traits_.grid)[std::size_t(column)].caption;
  const auto written = store::Profile::write(settingsFile(), key.section, QString::number(key.key), name);
  if (!written) {
    prompter_.warning(written.error());
    return false;
  }
  captions_[column] = name;
  return true;
}

bool Library::chooseOtherOxide(int entry) {
  return guarded(prompter_, [&] {
    if (!usable() || entry < 0 || entry >= int(kOtherOxideMenu.size())) return false;
    if (otherOxideAt(traits_.grid, selectedOther_) == 0) return false;
    return setOtherCaption(selectedOther_, QString::fromUtf16(kOtherOxideMenu[std::size_t(entry)].name));
  });
}

bool Library::nameOtherOxide() {
  return guarded(prompter_, [&] {
    if (!usable() || otherOxideAt(traits_.grid, selectedOther_) == 0) return false;
    const QString name = prompter_
                             .inputBox(QStringLiteral("输入氧化物名称。"),
                                       QStringLiteral("注意大小写，它关系到下面的计算。。。...."), kFreeOtherOxide)
                             .value_or(kFreeOtherOxide);
    if (name.trimmed().isEmpty()) {
      prompter_.warning(QStringLiteral("氧化物名称不能为空，“%1”列的名称没有改变。").arg(captions_[selectedOther_]));
      return false;
    }
    if (name != kFreeOtherOxide) return setOtherCaption(selectedOther_, name);
    return setOtherCaption(selectedOther_,
                           kFreeOtherOxide + QString::number(otherOxideAt(traits_.grid, selectedOther_)));
  });
}

}  // namespace tessaro::app
