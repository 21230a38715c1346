// The main frame: a multiple-document window that hosts the other windows.
#pragma once

#include <QMainWindow>

#include "app/framestate.h"

class QMdiArea;

namespace tessaro::ui {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);

  QMdiArea* clientArea() const { return mdiArea_; }

 public slots:
  void TBExitClick();

 private:
  app::FrameState state_;
  QMdiArea* mdiArea_ = nullptr;
};

}  // namespace tessaro::ui
