// The main screen: the four working tables as grids, the two record
// navigators, the speed buttons and the main-screen menu, over app::MainScreen.
#pragma once

#include <QHash>
#include <QList>
#include <QWidget>

#include <memory>

#include "app/framestate.h"
#include "app/gridcolumns.h"
#include "app/gridhints.h"
#include "app/mainscreen.h"
#include "app/prompter.h"

class QAction;
class QBoxLayout;
class QMenu;
class QTableView;
class QToolButton;

namespace tessaro::ui {

class GridModel;

// Caption of the main screen.
inline const QString kMainScreenCaption = QStringLiteral("主界面");

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // Opens the working tables under `baseFolder` (the folder that holds 数据库).
  TForm1(app::Prompter& prompter, app::FrameState& frame, const QString& baseFolder, QWidget* parent = nullptr);
  ~TForm1() override;

  app::MainScreen& screen() { return *screen_; }
  GridModel* model(app::WorkTable t) const;
  QTableView* grid(app::WorkTable t) const;

  // The main-screen menu, in menu-bar order, and its items by command.
  const QList<QMenu*>& menus() const { return menus_; }
  const QHash<app::Command, QAction*>& menuItems() const { return items_; }

  // Re-reads the presentation state of the main screen: captions, colours,
  // button captions, visibility of grid 3 and the table 4 panel.
  void refresh();
  // The tables changed (another window, or a step of a command): the grids
  // read them again and the presentation state is re-read.
  void tablesChanged();
  // Which other-oxide titles (k = 1..3) of tables 1 and 2 a library transfer
  // marked red because they differ from the library's.
  void setOtherTitleMarks(std::function<bool(bool targetGrid, int k)> marked);

  // The frame's inputs read by the calculation.
  void setAllowedErrorText(const QString& text) { screen_->setAllowedErrorText(text); }
  void setShowDetails(bool on) { screen_->setShowDetails(on); }

  // The pointer moved to `x` (grid coordinates, the row indicator included)
  // over grid 1 or grid 2: sets the grid's hint and cursor.
  void DBGrid1MouseMove(int x);
  void DBGrid2MouseMove(int x);
  // Keeps the target navigator at the end of grid 2's name column title.
  void placeTargetNavigator();

 public slots:
  void N5Click();
  void N6Click();
  void N20Click();
  void N21Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void SpeedButton5Click();
  void SpeedButton6Click();
  // Clearing the main data: at once (menu) or after the question (tool button).
  void clearMainData();
  void TB6Click();
  void DBGrid1TitleClick(int column);
  void DBGrid1DblClick(int column);
  void DBGrid2DblClick(int column);
  // The frame has shown the material library window.
  void materialLibraryShown();

 signals:
  // A command ran: the frame applies the command state again.
  void commandFinished();
  void hintChanged(const QString& hint);
  void showMaterialLibraryRequested();
  void showTargetLibraryRequested();
  void printRequested();
  void exitRequested();
  void helpRequested();
  void aboutRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenu();
  void buildGrids(QBoxLayout* layout);
  void buildTargetNavigator();
  void styleCells();
  void connectGrids();
  void buildCommandRow(QWidget* row);
  QWidget* buildFormulaNavigator(QWidget* row);
  QWidget* buildSpeedButtons(QWidget* row);
  QTableView* makeGrid(const QString& name, GridModel* model, const QString& hint);
  void finish();
  void followMarks(int row);
  // How row `row` of table 1 is marked mandatory.
  app::RowHighlight markOf(int row) const;
  void applyPointerHint(QTableView* grid, const app::PointerHint& hint);

  app::Prompter& prompter_;
  std::unique_ptr<app::MainScreen> screen_;
  GridModel* formulaModel_ = nullptr;
  // The columns of the mandatory marks BXL1..BXL3 in table 1.
  const int markColumns_[3] = {app::columnOf(app::Grid::Formula, QStringLiteral("BXL1")),
                               app::columnOf(app::Grid::Formula, QStringLiteral("BXL2")),
                               app::columnOf(app::Grid::Formula, QStringLiteral("BXL3"))};
  GridModel* targetModel_ = nullptr;
  GridModel* resultModel_ = nullptr;
  GridModel* propertyModel_ = nullptr;
  QTableView* formulaGrid_ = nullptr;
  QTableView* targetGrid_ = nullptr;
  QTableView* resultGrid_ = nullptr;
  QTableView* propertyGrid_ = nullptr;
  QWidget* propertyPanel_ = nullptr;
  QWidget* targetNavigator_ = nullptr;
  QToolButton* packButton_ = nullptr;
  QToolButton* compactButton_ = nullptr;
  QToolButton* kNaButton_ = nullptr;
  QToolButton* precisionButtons_[3] = {};  // 0, 0.0, 0.00
  QMenu* otherOxideMenu_ = nullptr;
  QList<QMenu*> menus_;
  QHash<app::Command, QAction*> items_;
};

}  // namespace tessaro::ui
