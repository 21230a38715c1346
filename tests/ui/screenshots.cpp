// Takes the screenshots of the windows for the documentation: run by hand
// under a virtual display, at the screen size wanted, e.g.
//   xvfb-run -a -s "-screen 0 1280x800x24" build/.../tests/ui_screenshots docs/screenshots
// (tools/screenshots.sh takes them all, the reports' pages included).
// It works on a copy of the bundled data and answers every message box with
// its default button.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "app/scripted_prompter.h"
#include "report/batchpage.h"
#include "report/expansionpage.h"
#include "report/fitwindow.h"
#include "ui/application.h"
#include "ui/mainframe.h"
#include "ui/passworddlg.h"

namespace {

void settle() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(25);
  }
}

bool shoot(const QString& path) {
  settle();
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
  if (!shot.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tessaro::ui::prepareApplication();
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

  QTemporaryDir tmp;
  QDir source(QStringLiteral(TESSARO_SOURCE_DIR "/数据库"));
  QDir(tmp.path()).mkdir(QStringLiteral("数据库"));
  for (const QString& f : source.entryList(QDir::Files)) {
    const QString to = tmp.path() + QStringLiteral("/数据库/") + f;
    QFile::copy(source.filePath(f), to);
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }

  tessaro::test::ScriptedPrompter prompter;
  tessaro::ui::TMainForm frame(&prompter);
  frame.createWindows(tmp.path());
  frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  frame.showMaximized();
  settle();

  frame.action(tessaro::app::Command::ToolCalculate)->trigger();
  if (!shoot(out + QStringLiteral("/main-screen-calculation.png"))) return 1;
  frame.action(tessaro::app::Command::ToolGlaze)->trigger();
  if (!shoot(out + QStringLiteral("/main-screen-glaze-properties.png"))) return 1;
  {
    // The batch-sheet and glaze-fit window over the frame, one picture per page.
    tessaro::report::FitWindow fit(prompter, tmp.path(), &frame);
    fit.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    fit.open();
    fit.expansionPage()->bodyEdit()->setText(QStringLiteral("65"));
    fit.batchPage()->waterEdit()->setText(QStringLiteral("40"));
    const char* pages[] = {"/fit-expansion.png", "/fit-stull.png", "/fit-batch.png"};
    for (int i = 0; i < 3; ++i) {
      fit.tabs()->setCurrentIndex(i);
      if (!shoot(out + QString::fromLatin1(pages[i]))) return 1;
    }
  }
  frame.action(tessaro::app::Command::ToolMaterials)->trigger();
  if (!shoot(out + QStringLiteral("/materials.png"))) return 1;
  {
    // The library windows' CSV menu, opened under its title.
    QMenu* csv = frame.libraryCsvMenu();
    const QRect title = frame.menuBar()->actionGeometry(csv->menuAction());
    csv->popup(frame.menuBar()->mapToGlobal(title.bottomLeft()));
    if (!shoot(out + QStringLiteral("/materials-csv-menu.png"))) return 1;
    csv->hide();
  }
  frame.action(tessaro::app::Command::ToolTargets)->trigger();
  if (!shoot(out + QStringLiteral("/targets.png"))) return 1;
  {
    tessaro::ui::TPasswordDlg password(tmp.path() + QStringLiteral("/数据库"), &prompter);
    password.show();
    if (!shoot(out + QStringLiteral("/password.png"))) return 1;
  }
  for (const auto& m : prompter.messages) std::fprintf(stderr, "[%s] %s\n", qPrintable(m.caption), qPrintable(m.text));
  return 0;
}
