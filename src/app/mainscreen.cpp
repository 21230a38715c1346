#include "app/mainscreen.h"

#include "app/commandguard.h"

namespace tessaro::app {

MainScreen::MainScreen(Prompter& prompter, FrameState& frame, const QString& baseFolder, store::Table* materialLibrary,
                       store::Table* targetLibrary)
    : prompter_(prompter, state_),
      tables_(prompter_, baseFolder, materialLibrary, targetLibrary),
      captions_(prompter_, tables_.baseFolder(), state_),
      display_(tables_, state_, frame),
      kna_(tables_, captions_, display_, state_),
      calculation_(tables_, captions_, display_, kna_, state_, frame),
      verification_(tables_, calculation_, state_, frame),
      properties_(tables_, captions_, state_, frame),
      maintenance_(tables_, display_) {
  tables_.openAll();
  state_.setKNaMerged(captions_.kNaMergedInSettings());
}

// --- Calculation and verification ------------------------------------------------------------

bool MainScreen::calculate() { return calculation_.calculate(); }  // guarded inside: a stop resets the retries
bool MainScreen::B(int argument) { return guard([&] { return calculation_.B(argument); }); }
std::optional<double> MainScreen::MinWuCha() { return guard([&] { return calculation_.MinWuCha(); }); }
bool MainScreen::PanDuan() { return guard([&] { return calculation_.PanDuan(); }); }
bool MainScreen::verify() { return guard([&] { return verification_.verify(); }); }

// --- Table 1's display and marks, K/Na -----------------------------------------------------------

MainScreen::DoubleClick MainScreen::formulaGridDoubleClicked(int column) {
  return guard([&] { return display_.formulaGridDoubleClicked(column); });
}

MainScreen::DoubleClick MainScreen::targetGridDoubleClicked(int column) {
  return guard([&] { return display_.targetGridDoubleClicked(column); });
}

void MainScreen::materialLibraryShown() { display_.materialLibraryShown(); }
bool MainScreen::toggleKNa() { return guard([&] { return kna_.toggleKNa(); }); }
bool MainScreen::toggleCompactDisplay() { return guard([&] { return display_.toggleCompactDisplay(); }); }
bool MainScreen::showUsedMaterialsOnly() { return guard([&] { return display_.showUsedMaterialsOnly(); }); }
bool MainScreen::showAllMaterials() { return guard([&] { return display_.showAllMaterials(); }); }

// --- Maintenance -------------------------------------------------------------------------------

bool MainScreen::clearMainData() { return guard([&] { return maintenance_.clearMainData(); }); }
bool MainScreen::confirmAndClearMainData() { return guard([&] { return maintenance_.confirmAndClearMainData(); }); }
void MainScreen::pack() { guard([&] { maintenance_.pack(); }); }

// --- Other oxides ------------------------------------------------------------------------------

bool MainScreen::selectOtherColumn(int column) { return guard([&] { return captions_.selectOtherColumn(column); }); }
bool MainScreen::chooseOtherOxide(int entry) { return guard([&] { return captions_.chooseOtherOxide(entry); }); }
bool MainScreen::enterOtherOxide() { return guard([&] { return captions_.enterOtherOxide(); }); }

// --- Properties --------------------------------------------------------------------------------

bool MainScreen::PanDuanQT() { return guard([&] { return properties_.PanDuanQT(); }); }
bool MainScreen::computeProperties(core::FormulaKind kind) {
  return guard([&] { return properties_.computeProperties(kind); });
}
std::optional<core::SideProperties> MainScreen::XN(const QString& side) {
  return guard([&] { return properties_.workOutSide(core::FormulaKind::Body, side); });
}
std::optional<core::SideProperties> MainScreen::YXN(const QString& side) {
  return guard([&] { return properties_.workOutSide(core::FormulaKind::Glaze, side); });
}
std::array<std::optional<double>, 3> MainScreen::ERO(const QString& side) {
  return guard([&] { return properties_.ERO(side); });
}

}  // namespace tessaro::app
