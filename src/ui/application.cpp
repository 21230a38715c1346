#include "ui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "icons.h"

namespace tessaro::ui {

bool prepareApplication() {
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication::setWindowIcon(programIcon());

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
