#include "ui/otheroxidemenu.h"

#include <QAction>
#include <QMenu>

#include "app/gridcolumns.h"

namespace tessaro::ui {

QMenu* buildOtherOxideMenu(QWidget* parent, std::function<void(int entry)> choose, std::function<void()> nameFreely) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("PopupMenu1"));
  for (int i = 0; i < int(app::kOtherOxideMenu.size()); ++i) {
    const app::OtherOxide& entry = app::kOtherOxideMenu[std::size_t(i)];
    QAction* a = menu->addAction(QString::fromUtf16(entry.name));
    a->setObjectName(QString::fromLatin1(entry.objectName));
    QObject::connect(a, &QAction::triggered, menu, [choose, i] { choose(i); });
  }
  QAction* free = menu->addAction(app::kFreeOtherOxide);
  free->setObjectName(QString::fromLatin1(app::kFreeOtherOxideObjectName));
  QObject::connect(free, &QAction::triggered, menu, std::move(nameFreely));
  return menu;
}

}  // namespace tessaro::ui
