#include "app/maintenance.h"

#include <QStringList>

#include <array>
#include <utility>

namespace tessaro::app {

using store::Table;

bool Maintenance::confirmAndClearMainData() {
  const Button answer = tables_.prompter().message(
      {MessageKind::Captioned, QStringLiteral("提示："), Icon::Question,
       QStringLiteral("此操作将批量清除主界面的所有数据，") + kCR + QStringLiteral("不会删除原料库、目标库界面的各表数据。") +
           kCR + kCR + QStringLiteral("确定清空主界面各表的所有数据？"),
       {Button::Ok, Button::Cancel}, Button::Ok});
  if (answer != Button::Ok) return true;
  return clearMainData();
}

bool Maintenance::clearMainData() {
  QStringList notOpen;
  for (WorkTable w : kWorkTables) {
    if (!tables_.isOpen(w) && !tables_.open(w)) notOpen << shownRelativeName(WorkingTables::relativeName(w));
  }
  // Nothing is cleared unless every table can be: the person must not take
  // a table that stayed as it was for an empty one.
  if (!notOpen.isEmpty()) {
    return tables_.fail(
        QStringLiteral("数据表 %1 未能打开，主界面的数据都没有清除。").arg(notOpen.join(QStringLiteral("、"))));
  }
  if (!tables_.require({WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})) return false;
  if (!display_.showAllMaterials()) return false;
  for (WorkTable w : kWorkTables) {
    if (!tables_.deleteAll(tables_.table(w))) return false;
  }
  return true;
}

bool Maintenance::packOne(Table& t, const QString& relativeName) {
  t.close();
  if (!t.open(tables_.baseFolder(), relativeName, Table::Mode::Exclusive)) {
    tables_.prompter().plain(QStringLiteral("打开数据库失败"));
    return false;
  }
  // What the engine refused (a damaged table it cannot mend, a disk
  // failure) is named before the command says that packing failed.
  if (!t.pack()) return tables_.engine(t);
  if (!t.mendReport().isEmpty()) tables_.prompter().information(t.mendReport());
  return true;
}

bool Maintenance::packAll() {
  for (WorkTable w : kWorkTables) {
    if (!packOne(tables_.table(w), WorkingTables::relativeName(w))) return false;
  }
  return packOne(tables_.materials(), kMaterialLibraryName) && packOne(tables_.targets(), kTargetLibraryName);
}

void Maintenance::pack() {
  const Button answer = tables_.prompter().message(
      {MessageKind::Captioned, QStringLiteral("确认整理："), Icon::Question,
       QStringLiteral("整理能减小数据库的体积，") + kCR + kCR + QStringLiteral("但整理后必须退出本程序，") + kCR + kCR +
           QStringLiteral("以解除本程序对数据库的占用才能成功。") + kCR + kCR + QStringLiteral("确定【整理数据库】吗？"),
       {Button::Ok, Button::Cancel}, Button::Cancel});
  if (answer != Button::Ok) return;
  packSucceeded_ = packAll();
  tables_.prompter().information(packSucceeded_ ? QStringLiteral("退出程序后，整理数据库成功!")
                                                : QStringLiteral("整理数据库失败!"));
  quitRequested_ = true;
  if (onQuit_) onQuit_();
}

}  // namespace tessaro::app
