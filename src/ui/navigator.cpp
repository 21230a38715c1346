#include "ui/navigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace tessaro::ui {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& text, const QString& hint,
                        const ButtonLook& look) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(hint);
  if (look.statusTip) b->setStatusTip(hint);
  b->setAutoRaise(look.autoRaise);
  b->setFocusPolicy(look.focus);
  return b;
}

QWidget* buildNavigator(QWidget* parent, const QString& name, const QList<NavigatorButton>& buttons,
                        const NavigatorLook& look) {
  auto* navigator = new QWidget(parent);
  navigator->setObjectName(name);
  auto* row = new QHBoxLayout(navigator);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  for (const NavigatorButton& nb : buttons) {
    QToolButton* b = toolButton(navigator, nb.name, nb.glyph, nb.hint, look.button);
    if (look.expanding) b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (look.fixedSize.isValid()) b->setFixedSize(look.fixedSize);
    QObject::connect(b, &QToolButton::clicked, navigator, nb.pressed);
    row->addWidget(b);
  }
  return navigator;
}

}  // namespace tessaro::ui
