#include "ui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionViewItem>
#include <QTranslator>

#include <clocale>

#include "icons.h"

namespace tessaro::ui {

namespace {

class ProgramStyle : public QProxyStyle {
 public:
  ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* p,
                     const QWidget* w) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
    if (element != PE_PanelItemViewRow || !item) {
      QProxyStyle::drawPrimitive(element, option, p, w);
      return;
    }
    // The highlight behind a selected cell where the style shows it there,
    // the alternate base on alternate rows, nothing else.
    QPalette::ColorGroup group = (w ? w->isEnabled() : bool(item->state & State_Enabled)) ? QPalette::Normal
                                                                                           : QPalette::Disabled;
    if (group == QPalette::Normal && !(item->state & State_Active)) group = QPalette::Inactive;
    if ((item->state & State_Selected) && proxy()->styleHint(SH_ItemView_ShowDecorationSelected, option, w)) {
      p->fillRect(item->rect, item->palette.brush(group, QPalette::Highlight));
    } else if (item->features & QStyleOptionViewItem::Alternate) {
      p->fillRect(item->rect, item->palette.brush(group, QPalette::AlternateBase));
    }
  }
};

}  // namespace

QStyle* makeProgramStyle() { return new ProgramStyle; }

bool prepareApplication() {
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  QApplication::setDesktopFileName(QStringLiteral(TESSARO_APP_ID));
  if (!dynamic_cast<ProgramStyle*>(QApplication::style())) QApplication::setStyle(makeProgramStyle());
  QApplication::setWindowIcon(programIcon());
  // Qt takes the user's locale for the C library, where a decimal comma
  // would make "1.5" read as 1; numbers keep their decimal point.
  std::setlocale(LC_NUMERIC, "C");

  // The interface is Chinese whatever the system's language.
  static QTranslator* qtTexts = nullptr;
  if (qtTexts) return true;
  auto* translator = new QTranslator(qApp);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QApplication::installTranslator(translator);
  qtTexts = translator;
  return true;
}

}  // namespace tessaro::ui
