#include "ui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

#include "icons.h"

namespace tessaro::ui {

bool prepareApplication() {
  QApplication::setApplicationName(QStringLiteral("Tessaro"));
  QApplication::setDesktopFileName(QStringLiteral(TESSARO_APP_ID));
  QApplication::setStyle(QStringLiteral("Fusion"));
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
