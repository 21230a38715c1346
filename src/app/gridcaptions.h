// The captions of the main screen's three grids and the settings file they
// come from: read at the start, changed by K/Na and by naming the other
// oxides, written back to the settings file. Where each caption sits and
// which key of the settings file holds it, the grids' columns tell
// (app/gridcolumns.h).
#pragma once

#include <QString>
#include <QStringList>

#include "app/gridcolumns.h"
#include "app/prompter.h"
#include "app/screenstate.h"

namespace tessaro::app {

class GridCaptions {
 public:
  // Reads the captions from the settings file of the data folder under
  // `baseFolder`; each change of them is told to the observer of `state`.
  GridCaptions(Prompter& prompter, const QString& baseFolder, const ScreenState& state);

  // Captions of grid 1 (23 columns), grid 2 (20) and grid 3 (21) by position.
  const QStringList& formula() const { return formula_; }
  const QStringList& target() const { return target_; }
  const QStringList& result() const { return result_; }
  // Caption of other oxide k (1..3) in grid 1 and in grid 3.
  QString formulaOther(int k) const;
  QString resultOther(int k) const;
  // The molecular weight of other oxide k (1..3) as the settings file holds it.
  QString otherWeight(int k) const;

  // Whether the settings file says K2O and Na2O are merged.
  bool kNaMergedInSettings() const;
  // Shows K2O and Na2O merged or split in the three grids and the settings file.
  bool showKNa(bool merged);

  // The other-oxide column of grid 1 the next menu entry names (0: none).
  int selectedOtherColumn() const { return selectedOther_; }
  // A click on a title of grid 1: true when it selects an other-oxide column.
  bool selectOtherColumn(int column);
  // A built-in entry (index into kOtherOxideMenu) on the selected column.
  bool chooseOtherOxide(int entry);
  // The free entry "其它": a name and a weight asked for.
  bool enterOtherOxide();

 private:
  QString settingsFile() const;
  bool writeSetting(const QString& section, const QString& key, const QString& value);
  // Whether the settings file can hold `value`; a message naming `what` when not.
  bool storable(const QString& section, const QString& key, const QString& value, const QString& what);
  // Shows `caption` on the column of `field` in each of the three grids.
  void setCaption(const QString& field, const QString& caption);
  // Writes `caption` under the settings key the columns of `field` read.
  bool writeCaption(const QString& field, const QString& caption);
  bool nameSelectedOther(const QString& caption, const QString& weight);

  Prompter& prompter_;
  const ScreenState& state_;
  QString base_;
  QStringList formula_, target_, result_;
  int selectedOther_ = 0;
};

}  // namespace tessaro::app
