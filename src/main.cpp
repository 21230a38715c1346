// Start-up of the desktop program.
#include <QApplication>

#include "store/paths.h"
#include "ui/mainform.h"
#include "ui/passworddlg.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  tessaro::ui::TMainForm frame;
  frame.showMaximized();

  // Nothing behind the password dialog can be reached until the password is
  // accepted; leaving it ends the program at once.
  tessaro::ui::TPasswordDlg password(tessaro::store::dataFolder());
  if (password.exec() != QDialog::Accepted) return 0;

  return app.exec();
}
