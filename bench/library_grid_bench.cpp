// The material library window over a 10,000-record library: opening it,
// scrolling the grid page by page with a full repaint of each page, filtering
// on a category and showing everything again. Run by hand:
//   QT_QPA_PLATFORM=offscreen bench_library_grid [records]
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/transfersink.h"
#include "store/schemas.h"
#include "store/table.h"
#include "ui/libraryform.h"

using namespace tessaro;
using store::Table;

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

const char* const kNumbers[] = {"SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O",
                                "QTCF1", "QTCF2", "QTCF3", "IL", "HJ", "DJ"};

// A library of `records` records; every hundredth is a category row.
bool build(const QString& path, int records) {
  const auto created = Table::create(path, store::schema::materialLibrary());
  if (!created) {
    std::fprintf(stderr, "%s\n", qPrintable(created.error()));
    return false;
  }
  Table t;
  if (!t.open(path, Table::Mode::Exclusive)) return false;
  for (int i = 0; i < records; ++i) {
    const bool category = i % 100 == 0;
    bool ok = t.append() && t.setInteger("BH", i + 1) &&
              t.setText("NAME", category ? QStringLiteral("*类别 %1*").arg(i / 100) : QStringLiteral("原料 %1").arg(i));
    for (int k = 0; ok && !category && k < 14; ++k) ok = t.setNumber(kNumbers[k], (i * 7 + k * 13) % 10000 / 100.0);
    if (!ok || !t.post()) {
      std::fprintf(stderr, "%s\n", qPrintable(t.errorString()));
      return false;
    }
  }
  return t.close();
}

class SilentPrompter : public app::Prompter {
 public:
  app::Button message(const app::Message& m) override {
    std::fprintf(stderr, "[%s] %s\n", qPrintable(m.caption), qPrintable(m.text));
    return m.defaultButton;
  }
  std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
};

class NoMainScreen : public app::TransferSink {
 public:
  store::Table* formulaTable() override { return nullptr; }
  store::Table* targetTable() override { return nullptr; }
  QString formulaOtherCaption(int) const override { return QString(); }
  void setOtherTitleRed(Grid, int, bool) override {}
  void recordTransferred() override {}
  void bringMainScreenForward() override {}
  void showMainScreen() override {}
  void compactDisplayOff() override {}
  void hideResultGrid() override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int records = argc > 1 ? std::atoi(argv[1]) : 10000;
  QTemporaryDir tmp;
  QDir(tmp.path()).mkdir(QStringLiteral("数据库"));
  if (!build(tmp.path() + QStringLiteral("/数据库/YLK.DBF"), records)) return 1;

  SilentPrompter prompter;
  NoMainScreen sink;
  auto start = Clock::now();
  ui::TForm2 form(prompter, sink, tmp.path());
  form.resize(1280, 800);
  form.show();
  app.processEvents();
  std::printf("records %d: window created and shown in %.1f ms\n", records, ms(start));

  QTableView* grid = form.grid();
  QScrollBar* bar = grid->verticalScrollBar();
  const int pages = 200;
  const int step = std::max(1, bar->maximum() / pages);
  double worst = 0;
  start = Clock::now();
  for (int i = 0; i < pages; ++i) {
    const auto page = Clock::now();
    bar->setValue(i * step);
    grid->viewport()->repaint();
    worst = std::max(worst, ms(page));
  }
  std::printf("scrolling: %d pages repainted, %.2f ms a page on average, %.2f ms at most\n", pages, ms(start) / pages,
              worst);

  QTreeWidgetItem* root = form.tree()->topLevelItem(0);
  QTreeWidgetItem* middle = root->child(root->childCount() / 2);
  start = Clock::now();
  form.TreeView1DblClick(middle);
  grid->viewport()->repaint();
  std::printf("category filter on %s: %d rows shown in %.1f ms\n", qPrintable(middle->text(0)),
              grid->model()->rowCount(), ms(start));

  start = Clock::now();
  form.showAllClick();
  grid->viewport()->repaint();
  std::printf("show all: %d rows shown in %.1f ms\n", grid->model()->rowCount(), ms(start));
  return 0;
}
