#include "mainform.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

namespace tessaro::ui {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(app::kFrameCaption);
  resize(994, 450);

  mdiArea_ = new QMdiArea(this);
  mdiArea_->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(mdiArea_);

  auto* toolBar = addToolBar(QStringLiteral("ToolBar1"));
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

  auto* exitAction = new QAction(app::kExitCaption, this);
  exitAction->setObjectName(QStringLiteral("TBExit"));
  exitAction->setToolTip(app::kExitCaption);
  exitAction->setStatusTip(app::kExitCaption);
  exitAction->setEnabled(state_.exitEnabled());
  connect(exitAction, &QAction::triggered, this, &TMainForm::TBExitClick);
  toolBar->addAction(exitAction);

  auto* menu = menuBar()->addMenu(QStringLiteral("界面(&P)"));
  menu->setObjectName(QStringLiteral("P1"));
  auto* exitItem = menu->addAction(app::kExitCaption);
  exitItem->setObjectName(QStringLiteral("N4"));
  connect(exitItem, &QAction::triggered, this, &TMainForm::TBExitClick);
}

void TMainForm::TBExitClick() { close(); }

}  // namespace tessaro::ui
