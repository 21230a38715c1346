// The about box; a second instance serves as the splash window at start-up.
#pragma once

#include <QDialog>

class QLabel;

namespace tessaro::ui {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  // The status line under the picture (empty except in the splash window).
  void setStatus(const QString& text);
  QString status() const;

 private:
  QLabel* status_ = nullptr;
};

}  // namespace tessaro::ui
