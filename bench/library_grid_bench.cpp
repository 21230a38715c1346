// The material library window over a 100,000-record library, timed as the
// person waits for it, each time until the grid has been painted:
//   building   the window is created (hidden) at start-up: the library is
//              opened, the titles read and the category tree built;
//   showing    the frame's show-window command, until the grid is painted;
//   page down  one page further down, until the grid is painted again;
//   drag       the scroll bar dragged across the table in 200 steps;
//   filter     a double click on a category node, and "show all" again.
// Building and showing are timed over several windows one after another (each
// opens the library afresh), the rest on the last one. Each line gives the
// median on the wall clock, the median processor time of the program's thread
// (what the program itself spent, whatever else the machine was doing) and
// the worst wall-clock time.
// Run by hand from a release build:
//   QT_QPA_PLATFORM=offscreen bench_library_grid [records]
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

#include "app/transfersink.h"
#include "store/schemas.h"
#include "store/table.h"
#include "ui/application.h"
#include "ui/libraryform.h"

using namespace tessaro;
using store::Table;

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// The processor time this thread has used, in milliseconds: on a busy
// machine the waits of the wall clock are not the program's.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A time on the wall clock and in processor time.
struct Took {
  double wall = 0, cpu = 0;
};

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
              t.setText("NAME", category ? QStringLiteral("*类别 %1*").arg(i / 100) : QStringLiteral("钾长石 %1 号").arg(i));
    if (!category) {
      ok = ok && t.setText("BZ", QStringLiteral("产地：江西；批次 %1").arg(i)) &&
           t.setDate("DATE", core::Date{2024, 1 + i % 12, 1 + i % 28});
    }
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

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) : QObject(w) { w->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return QObject::eventFilter(watched, event);
  }
};

// The time from `action` until the events it caused have been handled and
// `painted` counts one paint more.
Took untilPainted(const PaintCounter& painted, const std::function<void()>& action) {
  const int before = painted.count;
  const auto start = Clock::now();
  const double cpu = cpuMs();
  action();
  for (int i = 0; i < 1000 && painted.count == before; ++i) QApplication::processEvents();
  QApplication::processEvents();
  const Took took{ms(start), cpuMs() - cpu};
  if (painted.count == before) std::fprintf(stderr, "the grid was not painted\n");
  return took;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void print(const char* what, const std::vector<Took>& times) {
  std::vector<double> wall, cpu;
  for (const Took& t : times) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  std::printf("  %-40s median %8.2f ms (processor %8.2f ms), worst %8.2f ms, %zu times\n", what, median(wall),
              median(cpu), *std::max_element(wall.begin(), wall.end()), times.size());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::prepareApplication();  // the program's style, as it starts
  const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
  QTemporaryDir tmp;
  QDir(tmp.path()).mkdir(QStringLiteral("数据库"));
  if (!build(tmp.path() + QStringLiteral("/数据库/YLK.DBF"), records)) return 1;
  std::printf("material library window, %d records, 1280x800\n", records);

  // The frame's window area, as the program shows it.
  QMainWindow frame;
  auto* area = new QMdiArea(&frame);
  frame.setCentralWidget(area);
  frame.resize(1280, 800);
  frame.show();
  app.processEvents();

  SilentPrompter prompter;
  NoMainScreen sink;
  std::vector<Took> building, showing, total;
  ui::TForm2* form = nullptr;  // owned by the frame's child window that shows it
  for (int round = 0; round < 7; ++round) {
    // The window goes with the frame's child window that holds it.
    if (form) delete form->subWindow();
    app.processEvents();
    const auto start = Clock::now();
    const double cpu = cpuMs();
    form = new ui::TForm2(prompter, sink, tmp.path(), &frame);
    building.push_back({ms(start), cpuMs() - cpu});
    PaintCounter painted(form->grid()->viewport());
    showing.push_back(untilPainted(painted, [&] { form->showInFrame(area); }));
    total.push_back({building.back().wall + showing.back().wall, building.back().cpu + showing.back().cpu});
  }
  print("building the window (at start-up)", building);
  print("showing it, until the grid is painted", showing);
  print("building and showing", total);

  QTableView* grid = form->grid();
  PaintCounter painted(grid->viewport());
  QScrollBar* bar = grid->verticalScrollBar();
  std::vector<Took> pages;
  for (int i = 0; i < 300; ++i) {
    pages.push_back(untilPainted(painted, [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); }));
  }
  print("one page down, repainted", pages);

  std::vector<Took> drags;
  const int steps = 200;
  for (int i = 1; i <= steps; ++i) {
    drags.push_back(untilPainted(painted, [&] { bar->setValue(int(qint64(bar->maximum()) * i / steps)); }));
  }
  print("scroll bar dragged, each step repainted", drags);

  std::vector<Took> filters, showAll;
  QTreeWidgetItem* root = form->tree()->topLevelItem(0);
  int shown = 0;
  for (int i = 1; i <= 5; ++i) {
    QTreeWidgetItem* node = root->child(root->childCount() * i / 6);
    filters.push_back(untilPainted(painted, [&] { form->TreeView1DblClick(node); }));
    shown = grid->model()->rowCount();
    showAll.push_back(untilPainted(painted, [&] { form->showAllClick(); }));
  }
  char what[64];
  std::snprintf(what, sizeof what, "category filter (%d rows shown)", shown);
  print(what, filters);
  std::snprintf(what, sizeof what, "show all (%d rows shown)", grid->model()->rowCount());
  print(what, showAll);
  return 0;
}
