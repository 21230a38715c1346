// The logic of the two library windows without widgets: the material library
// ("原料库", YLK.DBF) and the target library ("目标库", pfk.dbf). One class
// serves both; LibraryTraits holds what differs between them. It owns the
// library's table cursor, carries out the window's commands, transfers
// records into the main screen's tables 1 and 2 through a TransferSink, and
// holds the presentation state that the window shows.
#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>

#include "app/gridcolumns.h"
#include "app/prompter.h"
#include "app/transfersink.h"
#include "core/composition.h"
#include "store/table.h"

namespace tessaro::app {

enum class LibraryKind { Materials, Targets };

// The buttons of the record navigator.
enum class NavButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// Hint of a navigator button.
QString navigatorHint(NavButton button);

// Everything in which the two library windows differ.
struct LibraryTraits {
  LibraryKind kind;
  QString caption;           // window caption
  QString tableName;         // relative name under the program folder
  QString rootText;          // root node of the category tree
  QString headerTableWord;   // how the header message names this library's grid
  QString deleteAllQuestion;
  QString showAllCaption, showAllHint;
  QString deleteAllCaption, deleteAllHint;
  QString gridHint;
  QString batchCaption, batchHint;  // empty: no batch input
  int panelWidth = 0;        // initial width of the category panel
  Grid grid;                 // the grid's columns
  QList<NavButton> navigatorButtons;

  bool hasBatchInput() const { return !batchCaption.isEmpty(); }
  const std::vector<GridColumn>& columns() const { return gridColumns(grid); }
  int columnCount() const { return int(columns().size()); }
};
const LibraryTraits& libraryTraits(LibraryKind kind);

// A record whose NAME holds "*" anywhere is a category row.
bool isCategoryName(const QString& name);

// How a grid row is drawn: a category row in red bold on its own background;
// any other row in the grid's ordinary way (category false, nothing else set).
struct RowStyle {
  bool category = false;
  Colour background{};
  Colour text{};
  bool bold = false;
};
RowStyle rowStyle(const QString& name);

// Pointer shapes of the window.
enum class Pointer { Arrow, PointingHand, SplitHorizontal };

// The category tree: a root and one child per category row, in BH order.
// After "delete all" it is empty, without root, until the next refresh.
struct CategoryTree {
  bool hasRoot = false;
  QString root;
  QStringList nodes;
};

// Texts of the category panel, the same in both windows.
inline const QString kPanelHeader = QStringLiteral("分类标签");
inline const QString kPanelCloseBox = QStringLiteral("X");
inline const QString kPanelCloseHint = QStringLiteral("关闭分类标签");
inline const QString kTreeHint = QStringLiteral("分类标签");

// Text of the transfer messages.
inline const QString kEmptyCellText = QStringLiteral("所选的原料库中有空栏,请检查。");

// Every public command runs under the command guard and shows a failure of
// the table engine as an error box.
class Library {
 public:
  // What a transfer routine did with the current record.
  enum class Transfer { Written, Skipped, Stopped };

  // Opens the library under `baseFolder` (the folder that holds 数据库) in
  // BH order, reads the column titles and builds the category tree. A library
  // that does not open is reported once, naming the file; every command of
  // the window then does nothing.
  Library(LibraryKind kind, Prompter& prompter, TransferSink& sink, const QString& baseFolder);
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  const LibraryTraits& traits() const { return traits_; }
  LibraryKind kind() const { return traits_.kind; }
  bool isOpen() const { return table_.isOpen(); }
  // The library's cursor; nullptr when the library did not open.
  store::Table* table() { return isOpen() ? &table_ : nullptr; }
  QString settingsFile() const;

  // --- Presentation state ----------------------------------------------------------
  const QStringList& captions() const { return captions_; }
  // Whether the title of grid position `column` is marked red by a failed header check.
  bool titleRed(int column) const;
  const CategoryTree& tree() const { return tree_; }
  bool categoryPanelVisible() const { return panelVisible_; }
  int panelWidth() const { return panelWidth_; }
  bool showAllVisible() const { return showAllVisible_; }
  int columnWidth(int column) const;
  void setColumnWidth(int column, int width);
  // 0, or the grid position (10..12) of the other-oxide title clicked last.
  int selectedOtherColumn() const { return selectedOther_; }
  // The grid column the cursor is in; the commands that move it set it.
  int currentColumn() const { return currentColumn_; }
  void setCurrentColumn(int column) { currentColumn_ = column; }
  // The BH range the category filter shows, when one is set.
  std::optional<std::pair<int, int>> filterRange() const;
  // BH of the last record in BH order, taken by the last category filter.
  int lastBH() const { return lastBH_; }
  bool visible() const { return visible_; }
  bool isChildWindow() const { return childWindow_; }
  bool minimised() const { return minimised_; }

  // Pointer over the grid at horizontal position x (grid coordinates) and
  // over the category panel.
  Pointer gridPointer(int x) const;
  Pointer panelPointer() const { return Pointer::SplitHorizontal; }
  // Pointer over the category tree: a pointing hand in the target window.
  Pointer treePointer() const {
    return traits_.kind == LibraryKind::Targets ? Pointer::PointingHand : Pointer::Arrow;
  }
  // The category panel dragged to width x: it takes that width (at least
  // kMinPanelWidth, so that it can be dragged again).
  static constexpr int kMinPanelWidth = 20;
  void resizePanel(int x);

  // --- Window ----------------------------------------------------------------------
  // Shown by the frame: a maximised child window of the frame.
  void show();
  // The window's close box: the material library stays inside the frame,
  // minimised; the target library leaves the frame, minimised.
  void close();

  // --- Commands --------------------------------------------------------------------
  // Reads the column titles again and rebuilds the category tree; the cursor
  // goes to the first record.
  void refresh();
  // Shows the records of one category: `node` -1 the root (everything), else
  // the index of the child node. `selected` lists the child nodes selected
  // together with it (the target window allows several; the material window
  // ignores it).
  void filterByCategory(int node, const QList<int>& selected = {});
  // The Enter key in the grid, the cursor in `column`; the text being typed
  // is already in the record. Returns the column the cursor goes to.
  int pressEnter(int column);
  // A navigator button: asks first where the window asks, then acts (false
  // when nothing was done).
  bool navigate(NavButton button);
  // Deletes the records shown, after the question.
  void deleteAll();
  // The close box "X" of the category panel, and the show-all button.
  void closeCategoryPanel();
  void showAll();
  // A click on a column title: selects an other-oxide column and says where
  // its menu opens (screen point); nothing for a column that has no menu.
  std::optional<QPoint> selectOtherColumn(int column);
  // Names the selected other-oxide column with a built-in entry (index into
  // kOtherOxideMenu), or with a name the person types.
  bool chooseOtherOxide(int entry);
  bool nameOtherOxide();

  // --- CSV files (app/librarycsv.h) -------------------------------------------------
  // Writes the library to the CSV file `path`.
  bool exportCsv(const QString& path);
  // Imports the CSV file `path`, asking whether to add or to replace; then
  // the whole library is shown, its tree rebuilt.
  bool importCsv(const QString& path);

  // --- Transfers -------------------------------------------------------------------
  // The transfer routine on the current record; its callers bring the main
  // screen forward.
  Transfer JaLu();
  // A double click in the grid on `column`: the name column transfers the
  // current record; the main screen then comes forward.
  void transferCurrent(int column);
  // Every raw material shown goes to table 1 at once; material library only.
  void transferShown();

 private:
  bool usable() const { return table_.isOpen(); }
  // Says that the library did not open, so `action` cannot run; false.
  bool notOpen(const QString& action);
  bool engineFailure(const store::Table& t);
  bool hasCurrentRecord() const;
  void readCaptionsAndTree();
  int sumOnHJ(int column);
  int categoryEntered(const QString& name);
  bool confirm(NavButton button);
  void afterNavigation(NavButton button);
  int firstEmptyCell();
  bool checkIgnitionPart();
  // Transfers the current record, found complete and with sound tables.
  Transfer transferRecord();
  bool headerCheck();
  // The fields of the current record that a transfer copies.
  struct Source {
    QString name, remark;
    core::Contents contents{};
    double il = 0, hj = 0;
    std::optional<double> price;
    std::optional<core::Date> date;
  };
  std::optional<Source> readSource();
  // Whether the library and the table a transfer writes are sound; says why not.
  bool transferTablesSound();
  bool writeCommon(store::Table& to, const Source& s);
  bool writeMaterial(const Source& s);
  bool writeTarget(const Source& s);
  bool writeFailed(store::Table& to);
  std::optional<int> formulaRecordCount();
  void rollBackFormula(int written);
  bool transferMaterial(int column);
  void transferTarget(int column);
  std::optional<int> checkShownMaterials();
  bool writeShownMaterials(int shown);
  bool setOtherCaption(int column, const QString& name);
  void rebuildTree();
  // Lifts the category filter, shows the category panel and hides the show-all button.
  void showWholeLibrary();

  const LibraryTraits& traits_;
  Prompter& prompter_;
  TransferSink& sink_;
  QString base_;
  store::Table table_;

  QStringList captions_;
  QList<bool> red_;
  QList<int> widths_;
  CategoryTree tree_;
  bool panelVisible_ = true;
  int panelWidth_ = 0;
  bool showAllVisible_ = false;
  int selectedOther_ = 0;
  int currentColumn_ = 0;
  int lastBH_ = 0;
  bool visible_ = false;
  bool childWindow_ = false;
  bool minimised_ = false;
};

}  // namespace tessaro::app
