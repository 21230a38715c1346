// Menus built from a list of items, each action known by its command.
#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <initializer_list>

#include "app/framestate.h"

class QAction;
class QMenu;
class QWidget;

namespace tessaro::ui {

struct MenuItem {
  const char* caption;  // nullptr: a separator
  app::Command command;
  const char* name;             // Qt object name
  const char* hint = nullptr;   // status tip and tool tip, if any
};

// A menu of `owner` with the items in order; every action goes into `actions`
// under its command.
QMenu* buildMenu(QWidget* owner, const QString& title, const QString& name, std::initializer_list<MenuItem> items,
                 QHash<app::Command, QAction*>& actions);

// An item of a menu that no command state governs: chosen, it runs `run`.
struct PlainMenuItem {
  const char* caption;
  const char* name;  // Qt object name
  const char* hint;  // status tip and tool tip
  std::function<void()> run;
};

// A menu of `owner` with the items in order.
QMenu* buildPlainMenu(QWidget* owner, const QString& title, const QString& name, std::initializer_list<PlainMenuItem> items);

}  // namespace tessaro::ui
