// The main screen's logic without widgets: its four working tables, the
// calculation, verification, K/Na, other-oxide, display and maintenance
// commands, and the presentation state that its view shows.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/framestate.h"
#include "app/prompter.h"
#include "core/properties.h"
#include "store/table.h"

namespace tessaro::app {

// Relative names of the tables under the program folder.
inline const QString kFormulaTableName = QStringLiteral("数据库\\配方.DBF");
inline const QString kTargetTableName = QStringLiteral("数据库\\目标配方.DBF");
inline const QString kResultTableName = QStringLiteral("数据库\\结果.DBF");
inline const QString kPropertyTableName = QStringLiteral("数据库\\性能.dbf");
inline const QString kMaterialLibraryName = QStringLiteral("数据库\\YLK.DBF");
inline const QString kTargetLibraryName = QStringLiteral("数据库\\pfk.dbf");

// Captions and texts of the main screen's buttons.
inline const QString kCompactOffCaption = QStringLiteral("精简显示");
inline const QString kCompactOnCaption = QStringLiteral("全部显示");
inline const QString kMergeCaption = QStringLiteral("K/Na合并");
inline const QString kSplitCaption = QStringLiteral("K/Na拆分");
inline const QString kMandatoryMark = QStringLiteral("选");

// Colours the view uses for the state below.
struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kProportionColour{255, 210, 255};  // NUM1, NUM2 normally
inline constexpr Rgb kVerifiedColour{255, 155, 155};    // NUM of the verified formula
inline constexpr Rgb kMandatoryRowColour{200, 200, 255};

// The four working tables, in the order they are opened.
enum class WorkTable { Formula, Target, Result, Property };

// Grid positions of the other-oxide columns in the grid of table 1.
inline constexpr int kFirstOtherColumn = 14;
inline constexpr int kLastOtherColumn = 16;

// The eleven built-in entries of the other-oxide menu, in menu order.
struct OtherOxideEntry {
  const char16_t* name;
  const char16_t* weight;
};
inline constexpr std::array<OtherOxideEntry, 11> kOtherOxideEntries = {{
    {u"B2O3", u"69.62"}, {u"BaO", u"153.3"}, {u"BeO", u"25.01"}, {u"Li2O", u"29.88"}, {u"MnO", u"70.94"},
    {u"P2O5", u"141.94"}, {u"PbO", u"223.2"}, {u"SnO2", u"150.7"}, {u"SrO", u"103.62"}, {u"ZnO", u"81.37"},
    {u"ZrO2", u"123.22"},
}};

// How a row of table 1 is drawn: highlighted when one of its mark cells reads
// exactly "选"; the target grid then goes to the amount column of the first.
struct RowHighlight {
  bool highlighted = false;
  int amountColumn = 0;  // 1..3: BXL1..BXL3 of the target; 0: none
};
RowHighlight rowHighlight(const QString& bxl1, const QString& bxl2, const QString& bxl3);

class MainScreen {
 public:
  // Opens the four working tables under `baseFolder` (the folder that holds
  // 数据库) in the order formula, target, result (exclusive), property; a
  // table that does not open is reported once, with its file name, and left
  // alone afterwards. Reads the grid captions and the K/Na state from the
  // settings file. The library tables are those of the library windows when
  // given; otherwise the main screen opens its own when it needs them.
  MainScreen(Prompter& prompter, FrameState& frame, const QString& baseFolder,
             store::Table* materialLibrary = nullptr, store::Table* targetLibrary = nullptr);
  ~MainScreen();
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  // --- Tables --------------------------------------------------------------------
  store::Table& table(WorkTable t);
  bool isOpen(WorkTable t) const;
  store::Table* materialLibrary();
  store::Table* targetLibrary();
  QString settingsFile() const;
  // The folder that holds 数据库.
  QString baseFolder() const { return base_; }

  // --- Inputs of the frame ---------------------------------------------------------
  void setAllowedErrorText(const QString& text) { allowedText_ = text; }
  QString allowedErrorText() const { return allowedText_; }
  void setShowDetails(bool on) { showDetails_ = on; }
  bool showDetails() const { return showDetails_; }

  // --- Presentation state -----------------------------------------------------------
  // Captions of grid 1 (23 columns), grid 2 (20) and grid 3 (21) by position.
  const QStringList& formulaCaptions() const { return formulaCaptions_; }
  const QStringList& targetCaptions() const { return targetCaptions_; }
  const QStringList& resultCaptions() const { return resultCaptions_; }
  int precision() const { return precision_; }
  bool kNaMerged() const { return kNaCaption_ == kSplitCaption; }
  QString kNaCaption() const { return kNaCaption_; }
  Rgb kNaColour() const { return kNaMerged() ? kRed : kNavy; }
  bool compactDisplay() const { return compactCaption_ == kCompactOnCaption; }
  QString compactCaption() const { return compactCaption_; }
  Rgb compactColour() const { return compactDisplay() ? kRed : kNavy; }
  int selectedOtherColumn() const { return selectedOther_; }
  bool resultGridVisible() const { return resultVisible_; }
  void hideResultGrid() { resultVisible_ = false; }
  bool propertyPanelVisible() const { return propertyVisible_; }
  // 0: NUM1 and NUM2 in their normal colour; 1 or 2: that column marks the
  // verified formula.
  int verifiedColumn() const { return verifiedColumn_; }
  Rgb proportionColour(int column) const {
    return column == verifiedColumn_ ? kVerifiedColour : kProportionColour;
  }
  int retryCounter() const { return retries_; }
  // Deepest nesting of calculation runs reached by the last calculation command.
  int deepestRun() const { return deepestRun_; }
  // Record numbers (file order, 0-based) of the rows of table 1 drawn as
  // mandatory, with the target's amount column of each.
  std::vector<std::pair<std::int64_t, RowHighlight>> highlightedRows();
  // The pack command ends the program: set when it has run, and `onQuit` is called.
  bool quitRequested() const { return quitRequested_; }
  // Whether the last pack command packed all six tables.
  bool packSucceeded() const { return packSucceeded_; }
  void setQuitHandler(std::function<void()> handler) { onQuit_ = std::move(handler); }
  // What the last calculation command decided: passed, failed after the
  // retries, or no verdict (refused or stopped).
  enum class Verdict { None, Passed, Failed };
  Verdict lastVerdict() const { return verdict_; }

  // --- Commands ----------------------------------------------------------------------
  // The calculation run ("配方计算"). False when it stopped on a failure.
  bool calculate();
  // The proportion solver for formula 1 (-1) or 2 (0) on the tables.
  bool B(int argument);
  // The error evaluation of the result records: the smaller average error
  // rate, or no value when it stopped on a failure.
  std::optional<double> MinWuCha();
  // The verdict with its retries.
  bool PanDuan();
  // The verification ("验算组成").
  bool verify();
  // Double click in grid 1 / grid 2 on a column (grid position).
  enum class DoubleClick { Nothing, Marked, ShowMaterialLibrary, ShowTargetLibrary };
  DoubleClick formulaGridDoubleClicked(int column);
  DoubleClick targetGridDoubleClicked(int column);
  // The frame showed the material library window: tables 3 and 4 hide.
  void materialLibraryShown();
  // K/Na merge or split.
  bool toggleKNa();
  // Compact display on or off, and the two branches alone.
  bool toggleCompactDisplay();
  bool showUsedMaterialsOnly();
  bool showAllMaterials();
  // Precision 0, 1, 2.
  void setPrecision(int decimals) { precision_ = decimals; }
  // Clearing the main data: the menu item at once, the tool button after its question.
  bool clearMainData();
  bool confirmAndClearMainData();
  // Packing the six tables; ends the program unless cancelled.
  void pack();
  // A click on a title of grid 1: true when it opens the other-oxide menu.
  bool selectOtherColumn(int column);
  // A built-in entry (index into kOtherOxideEntries) on the selected column.
  bool chooseOtherOxide(int entry);
  // The free entry "其它".
  bool enterOtherOxide();
  // The weight check before a property calculation.
  bool PanDuanQT();

  // --- Body and glaze properties (mainscreen_properties.cpp) ---------------------------
  // "坯性能" and "釉性能": the oxide formulas of the result records with their
  // temperatures and acidity coefficients, written to the property table.
  // Every value they use is checked before anything is written; a refusal
  // leaves tables, panel and flags as they were. True when the table was
  // written.
  bool bodyProperties() { return computeProperties(core::FormulaKind::Body); }
  bool glazeProperties() { return computeProperties(core::FormulaKind::Glaze); }
  bool computeProperties(core::FormulaKind kind);
  // One result record worked out as a body (XN) or glaze (YXN) without
  // writing anything: `side` "0" for the first record in BH order, "1" for
  // the second. No value (after a message) when the record is missing or a
  // value it needs is unusable.
  std::optional<core::SideProperties> XN(const QString& side) { return workOutSide(core::FormulaKind::Body, side); }
  std::optional<core::SideProperties> YXN(const QString& side) { return workOutSide(core::FormulaKind::Glaze, side); }
  // The group sums of side "0" or "1" as the property table holds them (RO,
  // R2O3, RO2); no values when the table has no group-sum row.
  std::array<std::optional<double>, 3> ERO(const QString& side);
  // Height in pixels the property panel is given (36 per row after the first).
  int propertyPanelHeight() const { return propertyPanelHeight_; }
  // How the property grid draws each row of the property table, in table order.
  std::vector<core::PropertyRowColours> propertyRowColours();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;

  Prompter& prompter_;
  FrameState& frame_;
  QString base_;
  QString allowedText_ = QStringLiteral("1");
  bool showDetails_ = false;
  QStringList formulaCaptions_, targetCaptions_, resultCaptions_;
  int precision_ = 2;
  QString kNaCaption_ = kMergeCaption;
  QString compactCaption_ = kCompactOffCaption;
  int selectedOther_ = 0;
  bool resultVisible_ = false;
  bool propertyVisible_ = false;
  int verifiedColumn_ = 0;
  int retries_ = 0;
  int runDepth_ = 0;
  int deepestRun_ = 0;
  bool quitRequested_ = false;
  bool packSucceeded_ = false;
  std::function<void()> onQuit_;
  Verdict verdict_ = Verdict::None;
  int propertyPanelHeight_ = 216;

  friend struct MainScreenAccess;
  bool runCalculation();
  bool checkAllowed();
  // Every table a command writes must be open, sound and writable, and every
  // table it reads open and sound, before the command changes anything.
  bool require(std::initializer_list<WorkTable> writes, std::initializer_list<WorkTable> reads = {});
  bool requireSound(const store::Table& t, bool written);
  bool openLibraries();
  bool writeSetting(const QString& section, const QString& key, const QString& value);
  void setOtherCaption(int k, const QString& caption);
  bool setKNaCaptions(const QString& k2o, const QString& na2o);
  bool fail(const QString& text);
  bool packOne(store::Table& t, const QString& relativeName);
  struct PropertyInputs;
  std::optional<PropertyInputs> readPropertyInputs();
  std::optional<core::SideProperties> workOutSide(core::FormulaKind kind, const QString& side);
};

}  // namespace tessaro::app
