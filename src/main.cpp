// Start-up of the desktop program.
#include <QApplication>
#include <QDir>

#include <cstdio>

#include "report/fitwindow.h"
#include "report/printcommand.h"
#include "ui/application.h"
#include "ui/datafolder.h"
#include "ui/messageboxprompter.h"
#include "ui/mainscreenform.h"
#include "ui/aboutbox.h"
#include "ui/mainframe.h"
#include "ui/passworddlg.h"

namespace {

// The folder named by "--dir DIR" or "--dir=DIR" on the command line, or empty.
QString chosenFolder() {
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--dir") && i + 1 < args.size()) return args[i + 1];
    if (args[i].startsWith(QLatin1String("--dir="))) return args[i].mid(6);
  }
  return QString();
}

// Tells why the program cannot start; the status it then ends with.
int refuseStart(const QString& why) {
  tessaro::ui::MessageBoxPrompter prompter;
  prompter.error(why + tessaro::app::kCR + QStringLiteral("本程序现在退出。"));
  return 1;
}

// The frame's commands that the report layer carries out: printing, and the
// batch-sheet and glaze-fit window, made when first asked for and following
// the tables after every command.
void connectReportCommands(tessaro::ui::TMainForm& frame, const QString& baseFolder) {
  frame.setPrintHandler([&frame] {
    auto* command = tessaro::report::PrintCommand::run(frame.mainScreen()->screen(), frame.state(), frame.prompter(), &frame);
    if (command) {
      QObject::connect(command, &tessaro::report::PrintCommand::finished, &frame,
                       &tessaro::ui::TMainForm::applyCommandState);
    }
  });
  frame.setFitWindowHandler([&frame, baseFolder] {
    auto* fitWindow = frame.findChild<tessaro::report::FitWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!fitWindow) {
      fitWindow = new tessaro::report::FitWindow(frame.prompter(), baseFolder, &frame);
      QObject::connect(&frame, &tessaro::ui::TMainForm::tablesChanged, fitWindow, &tessaro::report::FitWindow::refresh);
    }
    fitWindow->open();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!tessaro::ui::prepareApplication()) {
    std::fputs("Qt 的中文翻译（Debian 软件包 qt6-translations-l10n）没有安装，标准对话框的按钮显示英文。\n", stderr);
  }

  // Where the data folder is: see chooseBaseFolder. An installed program
  // makes the user's data folder from its template at the first start.
  const tessaro::ui::BaseFolder base = tessaro::ui::chooseBaseFolder(chosenFolder());
  if (!base.error.isEmpty()) return refuseStart(base.error);

  // One program at a time changes the data folder; a second one is told
  // which program has it and ends before it opens a table. Without a data
  // folder there is nothing to guard: the windows then say which tables are
  // missing.
  tessaro::ui::DataFolderLock folderLock;
  const QString dataFolder = tessaro::ui::dataFolder(base.folder);
  if (QDir(dataFolder).exists() && !folderLock.acquire(dataFolder)) return refuseStart(folderLock.errorString());

  // The splash: an about box with a status line, painted at once so that it
  // stays visible while the windows are created.
  tessaro::ui::TAboutBox splash;
  splash.setStatus(QStringLiteral("正在启动，请稍等片刻......"));
  splash.show();
  splash.repaint();
  QApplication::processEvents();

  tessaro::ui::TMainForm frame;
  frame.createWindows(base.folder);
  connectReportCommands(frame, base.folder);

  // The password dialog is the last window created and is visible from its
  // creation, over the whole screen: the frame shows only beneath it, and
  // nothing behind it can be reached until the password is accepted; leaving
  // it ends the program at once.
  tessaro::ui::TPasswordDlg password(dataFolder);
  splash.close();
  frame.showMaximized();
  password.raise();
  password.activateWindow();
  if (password.exec() != QDialog::Accepted) return 0;

  return app.exec();
}
