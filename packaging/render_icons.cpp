// Writes the program's icon for the desktop's icon theme, drawn by the same
// code as the windows' icon: a PNG for every size of kProgramIconSizes and a
// scalable SVG, as OUT/hicolor/NxN/apps/NAME.png and OUT/hicolor/scalable/apps/NAME.svg.
//
//   tessaro-render-icons OUT NAME
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

#include "ui/icons.h"

namespace {

// The folder of the theme's size `size` under `out`, made when missing.
QString appsFolder(const QString& out, const QString& size) {
  const QString folder = QDir(out).filePath(QStringLiteral("hicolor/%1/apps").arg(size));
  return QDir().mkpath(folder) ? folder : QString();
}

bool writeSvg(const QString& file, const QString& title) {
  constexpr int kUnits = 256;
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(QSize(kUnits, kUnits));
  svg.setViewBox(QRect(0, 0, kUnits, kUnits));
  svg.setTitle(title);
  QPainter p;
  if (!p.begin(&svg)) return false;
  tessaro::ui::paintProgramPicture(p, kUnits);
  return p.end();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fputs("usage: tessaro-render-icons OUT NAME\n", stderr);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int size : tessaro::ui::kProgramIconSizes) {
    const QString folder = appsFolder(out, QStringLiteral("%1x%1").arg(size));
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (folder.isEmpty() || !tessaro::ui::programImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "tessaro-render-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  const QString folder = appsFolder(out, QStringLiteral("scalable"));
  const QString file = QDir(folder).filePath(name + QStringLiteral(".svg"));
  if (folder.isEmpty() || !writeSvg(file, QStringLiteral("Tessaro"))) {
    std::fprintf(stderr, "tessaro-render-icons: cannot write %s\n", qPrintable(file));
    return 1;
  }
  return 0;
}
