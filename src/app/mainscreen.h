// The main screen's logic without widgets: a façade over one class per
// concern (the working tables, the grid captions with the settings file, what
// table 1 shows and marks, K/Na, the calculation, the verification, the
// properties, maintenance) that holds the presentation state its view reads.
// Every command runs under the command guard (app/commandguard.h).
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "app/calculation.h"
#include "app/formuladisplay.h"
#include "app/formulaverification.h"
#include "app/framestate.h"
#include "app/gridcaptions.h"
#include "app/gridcolumns.h"
#include "app/knatoggle.h"
#include "app/maintenance.h"
#include "app/prompter.h"
#include "app/propertycommands.h"
#include "app/screenstate.h"
#include "app/worktables.h"
#include "core/properties.h"
#include "store/table.h"

namespace tessaro::app {

class MainScreen {
 public:
  using DoubleClick = app::DoubleClick;
  using Verdict = app::Verdict;

  // Opens the four working tables under `baseFolder` (the folder that holds
  // 数据库) in the order formula, target, result (exclusive), property; a
  // table that does not open is reported once, with its file name, and left
  // alone afterwards. Reads the grid captions and the K/Na state from the
  // settings file. The library tables are those of the library windows when
  // given; otherwise the main screen opens its own when it needs them.
  MainScreen(Prompter& prompter, FrameState& frame, const QString& baseFolder,
             store::Table* materialLibrary = nullptr, store::Table* targetLibrary = nullptr);
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  // --- Tables --------------------------------------------------------------------
  store::Table& table(WorkTable t) { return tables_.table(t); }
  bool isOpen(WorkTable t) const { return tables_.isOpen(t); }
  store::Table* materialLibrary() { return &tables_.materials(); }
  store::Table* targetLibrary() { return &tables_.targets(); }
  // The folder that holds 数据库.
  QString baseFolder() const { return tables_.baseFolder(); }

  // --- Inputs of the frame ---------------------------------------------------------
  void setAllowedErrorText(const QString& text) { state_.allowedText = text; }
  QString allowedErrorText() const { return state_.allowedText; }
  void setShowDetails(bool on) { state_.showDetails = on; }
  bool showDetails() const { return state_.showDetails; }

  // --- Presentation state -----------------------------------------------------------
  // Captions of grid 1 (23 columns), grid 2 (20) and grid 3 (21) by position.
  const QStringList& formulaCaptions() const { return captions_.formula(); }
  const QStringList& targetCaptions() const { return captions_.target(); }
  const QStringList& resultCaptions() const { return captions_.result(); }
  // Caption of other oxide k (1..3) in grid 1.
  QString formulaOtherCaption(int k) const { return captions_.formulaOther(k); }
  int precision() const { return state_.precision(); }
  bool kNaMerged() const { return state_.kNaMerged(); }
  QString kNaCaption() const { return state_.kNaCaption(); }
  Colour kNaColour() const { return kNaMerged() ? palette::kRed : palette::kNavy; }
  bool compactDisplay() const { return state_.compactDisplay(); }
  QString compactCaption() const { return state_.compactCaption(); }
  Colour compactColour() const { return compactDisplay() ? palette::kRed : palette::kNavy; }
  int selectedOtherColumn() const { return captions_.selectedOtherColumn(); }
  bool resultGridVisible() const { return state_.resultVisible(); }
  void hideResultGrid() { state_.setResultVisible(false); }
  bool propertyPanelVisible() const { return state_.propertyVisible(); }
  // 0: NUM1 and NUM2 in their normal colour; 1 or 2: that formula's
  // proportions are the verified ones.
  int verifiedColumn() const { return state_.verifiedColumn(); }
  // The background of formula 1's or 2's proportions.
  Colour proportionColour(int formula) const {
    return formula == state_.verifiedColumn() ? palette::kRose : palette::kPink;
  }
  // The view's one observer of the presentation state (see ScreenState):
  // called at each change of it and of the titles, and before each box.
  void setObserver(std::function<void()> observer) { state_.setObserver(std::move(observer)); }
  int retryCounter() const { return calculation_.retryCounter(); }
  // Deepest nesting of calculation runs reached by the last calculation command.
  int deepestRun() const { return calculation_.deepestRun(); }
  // The pack command ends the program: set when it has run, and the quit handler is called.
  bool quitRequested() const { return maintenance_.quitRequested(); }
  // Whether the last pack command packed all six tables.
  bool packSucceeded() const { return maintenance_.packSucceeded(); }
  void setQuitHandler(std::function<void()> handler) { maintenance_.setQuitHandler(std::move(handler)); }
  // What the last calculation command decided.
  Verdict lastVerdict() const { return calculation_.lastVerdict(); }

  // --- Commands ----------------------------------------------------------------------
  // The calculation run ("配方计算") with its verdict and retries. False when
  // it stopped on a failure.
  bool calculate();
  // B: the proportion solver for formula 1 (-1) or 2 (0) on the tables.
  bool B(int argument);
  // MinWuCha: the error evaluation of the result records; the smaller average
  // error rate, or no value when it stopped on a failure.
  std::optional<double> MinWuCha();
  // PanDuan: the verdict on the smaller average error rate, with its retries.
  bool PanDuan();
  // The verification ("验算组成").
  bool verify();
  // Double click in grid 1 / grid 2 on a column (grid position).
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
  // Decimals of the proportions: 0, 1 or 2.
  void setPrecision(int decimals) { state_.setPrecision(decimals); }
  // Clearing the main data: the menu item at once, the tool button after its question.
  bool clearMainData();
  bool confirmAndClearMainData();
  // Packing the six tables; ends the program unless cancelled.
  void pack();
  // A click on a title of grid 1: true when it opens the other-oxide menu.
  bool selectOtherColumn(int column);
  // A built-in entry (index into kOtherOxideMenu) on the selected column.
  bool chooseOtherOxide(int entry);
  // The free entry "其它" of the other-oxide menu.
  bool enterOtherOxide();
  // PanDuanQT: the weight check before a property calculation.
  bool PanDuanQT();

  // --- Body and glaze properties ---------------------------------------------------------
  // "坯性能" and "釉性能": the oxide formulas of the result records with their
  // temperatures and acidity coefficients, written to the property table.
  // Every value they use is checked before anything is written; a refusal
  // leaves tables, panel and flags as they were. True when the table was
  // written.
  bool bodyProperties() { return computeProperties(core::FormulaKind::Body); }
  bool glazeProperties() { return computeProperties(core::FormulaKind::Glaze); }
  bool computeProperties(core::FormulaKind kind);
  // XN: one result record worked out as a body without writing anything:
  // `side` "0" for the first record in BH order, "1" for the second. No value
  // (after a message) when the record is missing or a value it needs is unusable.
  std::optional<core::SideProperties> XN(const QString& side);
  // YXN: the same worked out as a glaze.
  std::optional<core::SideProperties> YXN(const QString& side);
  // ERO: the group sums of side "0" or "1" as the property table holds them
  // (RO, R2O3, RO2); no values when the table has no group-sum row.
  std::array<std::optional<double>, 3> ERO(const QString& side);

 private:
  template <typename F>
  auto guard(F&& f) -> decltype(f()) {
    return guarded(prompter_, std::forward<F>(f));
  }

  ScreenState state_;
  ScreenPrompter prompter_;
  WorkingTables tables_;
  GridCaptions captions_;
  FormulaDisplay display_;
  KNaToggle kna_;
  Calculation calculation_;
  FormulaVerification verification_;
  PropertyCommands properties_;
  Maintenance maintenance_;
};

}  // namespace tessaro::app
