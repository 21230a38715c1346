// Start-up of the desktop program.
#include <QApplication>

#include "store/paths.h"
#include "ui/aboutbox.h"
#include "ui/mainform.h"
#include "ui/passworddlg.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  QApplication::setStyle(QStringLiteral("Fusion"));

  // The splash: an about box with a status line, painted at once so that it
  // stays visible while the windows are created.
  tessaro::ui::TAboutBox splash;
  splash.setStatus(QStringLiteral("正在启动，请稍等片刻......"));
  splash.show();
  splash.repaint();
  QApplication::processEvents();

  tessaro::ui::TMainForm frame;
  frame.createWindows(tessaro::store::programFolder());

  splash.close();
  frame.showMaximized();

  // Nothing behind the password dialog can be reached until the password is
  // accepted; leaving it ends the program at once.
  tessaro::ui::TPasswordDlg password(tessaro::store::dataFolder());
  if (password.exec() != QDialog::Accepted) return 0;

  return app.exec();
}
