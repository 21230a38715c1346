#include "menus.h"

#include <QAction>
#include <QMenu>

namespace tessaro::ui {

QMenu* buildMenu(QWidget* owner, const QString& title, const QString& name, std::initializer_list<MenuItem> items,
                 QHash<app::Command, QAction*>& actions) {
  auto* m = new QMenu(title, owner);
  m->setObjectName(name);
  for (const MenuItem& it : items) {
    if (!it.caption) {
      m->addSeparator();
      continue;
    }
    QAction* a = m->addAction(QString::fromUtf8(it.caption));
    a->setObjectName(QString::fromLatin1(it.name));
    if (it.hint) {
      a->setStatusTip(QString::fromUtf8(it.hint));
      a->setToolTip(a->statusTip());
    }
    actions.insert(it.command, a);
  }
  return m;
}

QMenu* buildPlainMenu(QWidget* owner, const QString& title, const QString& name, std::initializer_list<PlainMenuItem> items) {
  auto* m = new QMenu(title, owner);
  m->setObjectName(name);
  for (const PlainMenuItem& it : items) {
    QAction* a = m->addAction(QString::fromUtf8(it.caption));
    a->setObjectName(QString::fromLatin1(it.name));
    a->setStatusTip(QString::fromUtf8(it.hint));
    a->setToolTip(a->statusTip());
    QObject::connect(a, &QAction::triggered, owner, it.run);
  }
  return m;
}

}  // namespace tessaro::ui
