// Start-up of the desktop program.
#include <QApplication>

#include "ui/mainform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  tessaro::ui::TMainForm frame;
  frame.showMaximized();
  return app.exec();
}
