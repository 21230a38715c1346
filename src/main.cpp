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

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!tessaro::ui::prepareApplication()) {
    std::fputs("Qt 的中文翻译（Debian 软件包 qt6-translations-l10n）没有安装，标准对话框的按钮显示英文。\n", stderr);
  }

  // One program at a time changes the data folder; a second one is told
  // which program has it and ends before it opens a table. Without a data
  // folder there is nothing to guard: the windows then say which tables are
  // missing.
  tessaro::ui::DataFolderLock folderLock;
  if (QDir(tessaro::ui::dataFolder()).exists() && !folderLock.acquire(tessaro::ui::dataFolder())) {
    tessaro::ui::MessageBoxPrompter prompter;
    prompter.error(folderLock.errorString() + tessaro::app::kCR + QStringLiteral("本程序现在退出。"));
    return 1;
  }

  // The splash: an about box with a status line, painted at once so that it
  // stays visible while the windows are created.
  tessaro::ui::TAboutBox splash;
  splash.setStatus(QStringLiteral("正在启动，请稍等片刻......"));
  splash.show();
  splash.repaint();
  QApplication::processEvents();

  tessaro::ui::TMainForm frame;
  frame.createWindows(tessaro::ui::programFolder());
  frame.setPrintHandler([&frame] {
    auto* command = tessaro::report::PrintCommand::run(frame.mainScreen()->screen(), frame.state(), frame.prompter(), &frame);
    if (command) {
      QObject::connect(command, &tessaro::report::PrintCommand::finished, &frame,
                       &tessaro::ui::TMainForm::applyCommandState);
    }
  });

  // The batch-sheet and glaze-fit window is made when first asked for and
  // follows the tables after every command.
  tessaro::report::FitWindow* fitWindow = nullptr;
  frame.setFitWindowHandler([&frame, &fitWindow] {
    if (!fitWindow) {
      fitWindow = new tessaro::report::FitWindow(frame.prompter(), tessaro::ui::programFolder(), &frame);
      QObject::connect(&frame, &tessaro::ui::TMainForm::tablesChanged, fitWindow, &tessaro::report::FitWindow::refresh);
    }
    fitWindow->open();
  });

  // The password dialog is the last window created and is visible from its
  // creation, over the whole screen: the frame shows only beneath it, and
  // nothing behind it can be reached until the password is accepted; leaving
  // it ends the program at once.
  tessaro::ui::TPasswordDlg password(tessaro::ui::dataFolder());
  splash.close();
  frame.showMaximized();
  password.raise();
  password.activateWindow();
  if (password.exec() != QDialog::Accepted) return 0;

  return app.exec();
}
