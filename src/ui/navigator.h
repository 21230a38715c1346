// The flat tool buttons of the windows and the record navigators built from them.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <functional>

class QToolButton;
class QWidget;

namespace tessaro::ui {

// How a button looks and takes the focus.
struct ButtonLook {
  bool autoRaise = true;
  // A button that takes the focus ends the typing in a grid cell, which commits the text first.
  Qt::FocusPolicy focus = Qt::NoFocus;
  bool statusTip = true;  // the hint is also the status tip
};

// A tool button named `name` showing `text`, with `hint` as its tool tip.
QToolButton* toolButton(QWidget* parent, const QString& name, const QString& text, const QString& hint,
                        const ButtonLook& look = {});

// One button of a record navigator.
struct NavigatorButton {
  QString name;   // object name
  QString glyph;
  QString hint;
  std::function<void()> pressed;
};

// How the buttons of a navigator are sized.
struct NavigatorLook {
  ButtonLook button;
  bool expanding = false;  // the buttons share the navigator's width
  QSize fixedSize;         // invalid: the buttons' own size
};

// A navigator named `name`: its buttons side by side, in order.
QWidget* buildNavigator(QWidget* parent, const QString& name, const QList<NavigatorButton>& buttons,
                        const NavigatorLook& look = {});

}  // namespace tessaro::ui
