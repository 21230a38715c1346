// The two library windows: the material library "原料库" (TForm2) and the
// target library "目标库" (TForm3). They are twins; one implementation serves
// both and forwards every command to app::Library.
//
// The frame shows a window with showInFrame(); closing it then leaves the
// material library minimised inside the frame, and detaches the target
// library from the frame as a window of its own, minimised, until it is
// shown again.
#pragma once

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "app/library.h"

class QMenu;
class QTableView;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessaro::app {
class Prompter;
class TransferSink;
}

namespace tessaro::ui {

class GridModel;

class TLibraryForm : public QWidget {
  Q_OBJECT

 public:
  // Opens the library under `baseFolder` (the folder that holds 数据库); the
  // window stays hidden until the frame shows it.
  TLibraryForm(app::LibraryKind kind, app::Prompter& prompter, app::TransferSink& sink, const QString& baseFolder,
               QWidget* parent = nullptr);
  ~TLibraryForm() override;

  app::Library& library() { return *library_; }
  GridModel* model() const { return model_; }
  QTableView* grid() const { return grid_; }
  QTreeWidget* tree() const { return tree_; }
  QMenu* popupMenu() const { return otherOxideMenu_; }
  QMdiSubWindow* subWindow() const { return sub_; }

  // The show-window command of the frame: shows the window as a maximised
  // child window of `area` and makes it the active one. The frame then shows
  // its own menu (a library window has none) and applies its command state.
  QMdiSubWindow* showInFrame(QMdiArea* area);

  // Re-reads what the window shows from the library: titles, tree, panel,
  // buttons, rows and the cursor's cell.
  void refresh();

  // The controls' events, forwarded to app::Library; each refreshes the window.
  void FormCreate();
  void TreeView1DblClick(QTreeWidgetItem* item);
  void DBGrid1KeyPress();
  void DBNavigatorClick(app::NavButton button);
  void deleteAllClick();
  void closePanelClick();
  void showAllClick();
  void DBGrid1TitleClick(int column);
  void DBGrid1DblClick(int row, int column);
  void SpeedButton1Click();
  void Panel2MouseUp(int x);
  // The close box of the window.
  void FormClose();
  // The frame's CSV menu on this window: a file chosen in a dialog, then the
  // library exported to it or imported from it.
  void exportCsvClick();
  void importCsvClick();

 signals:
  // A command ran that may have changed the main screen or the frame's state.
  void commandFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildTopBar(QWidget* bar);
  void buildPanel(QWidget* panel);
  void buildModel();
  void buildGrid();
  void rebuildTree();
  void placeCursor();
  void finish();
  void currentCellChanged(const QModelIndex& now);

  std::unique_ptr<app::Library> library_;
  app::Prompter& prompter_;
  GridModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QWidget* panel_ = nullptr;
  QToolButton* showAll_ = nullptr;
  QToolButton* batch_ = nullptr;
  QToolButton* deleteAll_ = nullptr;
  QMenu* otherOxideMenu_ = nullptr;
  QPointer<QMdiArea> area_;
  QPointer<QMdiSubWindow> sub_;
  app::CategoryTree shownTree_;
  bool treeShown_ = false;
  bool placing_ = false;
};

// The material library window "原料库".
class TForm2 : public TLibraryForm {
  Q_OBJECT

 public:
  TForm2(app::Prompter& prompter, app::TransferSink& sink, const QString& baseFolder, QWidget* parent = nullptr)
      : TLibraryForm(app::LibraryKind::Materials, prompter, sink, baseFolder, parent) {}
};

// The target library window "目标库".
class TForm3 : public TLibraryForm {
  Q_OBJECT

 public:
  TForm3(app::Prompter& prompter, app::TransferSink& sink, const QString& baseFolder, QWidget* parent = nullptr)
      : TLibraryForm(app::LibraryKind::Targets, prompter, sink, baseFolder, parent) {}
};

}  // namespace tessaro::ui
