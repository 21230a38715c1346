// The frame's CSV menu on the library windows: its place and its wiring.
#include <QApplication>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTimer>

#include "modal_watchdog.h"
#include "windows_fixture.h"

namespace tessaro::test {
namespace {

// Answers the next file dialog with `path`.
void chooseFile(const QString& path) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, path] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
      timer->deleteLater();
    }
  });
  timer->start(20);
}

TEST_F(WindowsTest, TheCsvMenuFollowsTheFramesMenusOnALibraryWindowAndActsOnIt) {
  start();
  EXPECT_EQ(menuBarTitles().size(), 5);  // not on the main screen
  find("TB3")->trigger();
  EXPECT_EQ(menuBarTitles(), QStringList({"界面(&P)", "计算(&Q)", "窗口(&W)", "帮助(&H)", "配料与适应性(&B)", "导入导出(&X)"}));
  QStringList items;
  for (QAction* a : frame->libraryCsvMenu()->actions()) items << a->text();
  EXPECT_EQ(items, QStringList({"导出CSV(&E)…", "导入CSV(&I)…"}));

  const QString csv = tmp.filePath(QStringLiteral("目标库.csv"));
  ModalWatchdog watchdog;
  chooseFile(csv);
  find("LibraryExportCsv")->trigger();
  ASSERT_TRUE(QFile::exists(csv));
  EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("已把目标库的 10 条记录")));

  QSignalSpy changed(frame.get(), &ui::TMainForm::tablesChanged);
  prompter.buttons = {app::Button::No};  // replace
  chooseFile(csv);
  find("LibraryImportCsv")->trigger();
  EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("替换了目标库原有的 10 条记录")));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_FALSE(watchdog.fired());
}

}  // namespace
}  // namespace tessaro::test
