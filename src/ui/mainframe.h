// The main frame: a multiple-document window with the tool bar, the status
// strip and the two menus, that hosts the main screen and the library windows.
#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

#include "app/framestate.h"
#include "app/maintransfer.h"
#include "app/prompter.h"
#include "ui/libraryform.h"
#include "ui/menus.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QBoxLayout;
class QToolBar;

namespace tessaro::ui {

class TAboutBox;
class TForm1;


// The help file, opened from the current folder, and its failure message.
inline const QString kHelpFile = QStringLiteral("help.chm");
inline const QString kHelpDamaged = QStringLiteral(" help.chm 帮助文件损坏！");

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Message boxes go through `prompter` (the Qt message boxes when null).
  explicit TMainForm(app::Prompter* prompter = nullptr, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The frame creation step for a screen `screenWidth` pixels wide: the
  // resolution message, the place of the allowed-error label, the width of
  // the hint panel, TB1 pressed. The constructor runs it with the screen's width.
  void frameCreationStep(int screenWidth);

  // Creates the other windows in start-up order: the main screen over the
  // tables under `baseFolder` (shown maximised as the only child), the two
  // library windows, the about box and the print preview window (hidden).
  void createWindows(const QString& baseFolder);

  app::FrameState& state() { return state_; }
  app::Prompter& prompter() { return *prompter_; }
  QMdiArea* clientArea() const { return mdiArea_; }
  TForm1* mainScreen() const { return mainScreen_; }
  TLibraryForm* materialLibrary() const { return materialLibrary_; }
  TLibraryForm* targetLibrary() const { return targetLibrary_; }
  TAboutBox* aboutBox() const { return about_; }
  QWidget* printPreview() const { return printPreview_; }
  // What "打印/预览" runs; the reports are a layer above the windows, so
  // start-up hands the command in. Without one the preview placeholder shows.
  void setPrintHandler(std::function<void()> handler) { printHandler_ = std::move(handler); }
  // What "配料单与坯釉适应性" opens; start-up hands it in like the print command.
  void setFitWindowHandler(std::function<void()> handler) { fitWindowHandler_ = std::move(handler); }
  // The menu appended after the main screen's and the frame's own menus, and its item.
  QMenu* fitMenu() const { return fitMenu_; }
  QAction* fitWindowAction() const { return fitWindowAction_; }
  // The menu of the library windows' CSV files, appended while one of them is active.
  QMenu* libraryCsvMenu() const { return libraryCsvMenu_; }
  QAction* action(app::Command c) const { return actions_.value(c); }
  const QList<QMenu*>& frameMenus() const { return frameMenus_; }
  QLabel* hintPanel() const { return hintPanel_; }
  QLabel* datePanel() const { return datePanel_; }
  // Whether the label "允许误差%" stands above its edit box.
  bool labelAbove() const { return labelAbove_; }

  // Applies the command state to every tool button and menu item.
  void applyCommandState();
  // Shows the hint in the hint panel.
  void showHint(const QString& hint);

 public slots:
  void TB1Click();
  void TB2Click();
  void TB3Click();
  void TB4Click();
  void TB5Click();
  void TB6Click();
  void TB7Click();
  void TB8Click();
  void TB9Click();
  void WTB1Click();
  void WTB2Click();
  void WTB3Click();
  void ToolButton6Click();
  void TBExitClick();
  void helpClick();
  void aboutClick();
  void fitWindowClick();
  // The CSV menu's items: they act on the library window that is active.
  void libraryCsvClick(bool import);

 signals:
  // A command of the main screen or of a library window has ended: the
  // working tables may hold other rows now.
  void tablesChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the frame ends the program, whatever other window is open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildToolBar();
  void buildErrorInputs(QToolBar* bar);
  void buildStatusStrip();
  void buildMenu();
  void buildFitMenu();
  void buildLibraryCsvMenu();
  // A menu of plain items whose hints the frame shows as the pointer moves over them.
  QMenu* hintedMenu(const QString& title, const QString& name, std::initializer_list<PlainMenuItem> items);
  void updateMenuBar();
  // The library window that is the active child window, if one is.
  TLibraryForm* activeLibrary() const;
  void showLibrary(TLibraryForm* window);
  void bringMainScreenForward();
  void tile(bool horizontal);

  std::unique_ptr<app::Prompter> ownPrompter_;
  app::Prompter* prompter_ = nullptr;
  app::FrameState state_;
  QMdiArea* mdiArea_ = nullptr;
  TForm1* mainScreen_ = nullptr;
  QMdiSubWindow* mainScreenWindow_ = nullptr;
  std::unique_ptr<app::MainScreenTransfer> transfer_;
  TLibraryForm* materialLibrary_ = nullptr;
  TLibraryForm* targetLibrary_ = nullptr;
  std::function<void()> printHandler_;
  std::function<void()> fitWindowHandler_;
  QMenu* fitMenu_ = nullptr;
  QAction* fitWindowAction_ = nullptr;
  QMenu* libraryCsvMenu_ = nullptr;
  TAboutBox* about_ = nullptr;
  QWidget* printPreview_ = nullptr;
  QHash<app::Command, QAction*> actions_;
  QList<QMenu*> frameMenus_;
  QLineEdit* allowed_ = nullptr;
  QCheckBox* details_ = nullptr;
  QBoxLayout* allowedLayout_ = nullptr;
  QLabel* hintPanel_ = nullptr;
  QLabel* datePanel_ = nullptr;
  bool labelAbove_ = false;
};

}  // namespace tessaro::ui
