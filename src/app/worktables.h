// The main screen's four working tables and the two library tables it reads:
// opening them, the checks that a command may use them, and the helpers that
// read and write their records. A failure met here is reported through the
// Prompter and the helper returns false (or no value), so that the command
// stops.
#pragma once

#include <QString>

#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "app/commandguard.h"
#include "app/datafolder.h"
#include "app/prompter.h"
#include "core/format.h"
#include "core/solver.h"
#include "store/table.h"

namespace tessaro::app {


// The four working tables, in the order they are opened.
enum class WorkTable { Formula, Target, Result, Property };
inline constexpr std::array<WorkTable, 4> kWorkTables = {WorkTable::Formula, WorkTable::Target, WorkTable::Result,
                                                         WorkTable::Property};

// A column name of core's vocabulary as a field name.
QString fieldName(std::string_view name);

// The name messages give a table: its display name, or its relative name.
QString shownTableName(const store::Table& t, const QString& relativeName);

// The current record's NAME, for messages.
QString recordName(const store::Table& t);

// Lifts the compact display's range for a scope, so that a walk sees every
// record of table 1, hidden or not.
class WholeTable {
 public:
  explicit WholeTable(store::Table& t);
  ~WholeTable();
  WholeTable(const WholeTable&) = delete;
  WholeTable& operator=(const WholeTable&) = delete;

 private:
  store::Table& t_;
  bool ranged_;
};

// What the values of a result record are written from.
struct ResultValues {
  QString label;
  const core::StoredValue& price;
  const std::array<core::StoredValue, core::kOxideCount>& oxides;
  const core::StoredValue& total;
};

class WorkingTables {
 public:
  // The library tables are those of the library windows when given;
  // otherwise the main screen opens its own when it needs them.
  WorkingTables(Prompter& prompter, const QString& baseFolder, store::Table* materialLibrary,
                store::Table* targetLibrary);
  WorkingTables(const WorkingTables&) = delete;
  WorkingTables& operator=(const WorkingTables&) = delete;

  // Opens the four tables in their order; a table that does not open is
  // reported once, with its file name, and left alone afterwards.
  void openAll();
  // Opens one table (the result table exclusively, read by BH).
  bool open(WorkTable w);

  store::Table& table(WorkTable w) { return work_[std::size_t(w)]; }
  bool isOpen(WorkTable w) const { return work_[std::size_t(w)].isOpen(); }
  static const QString& relativeName(WorkTable w);
  store::Table& materials() { return *materials_; }
  store::Table& targets() { return *targets_; }
  // Opens the library tables that are not open yet.
  bool openLibraries();

  QString baseFolder() const { return base_; }
  Prompter& prompter() { return prompter_; }

  // Every table a command writes must be open, sound and writable, and every
  // table it reads open and sound, before the command changes anything.
  bool require(std::initializer_list<WorkTable> writes, std::initializer_list<WorkTable> reads = {});
  bool requireSound(const store::Table& t, bool written);

  // An error box with `text`; false.
  bool fail(const QString& text);
  bool engine(store::Table& t) { return engineFailure(prompter_, t); }

  // A numeric cell of the current record, empty or not; nothing when it does
  // not hold a number (the command then stops with a message naming it).
  std::optional<std::optional<double>> cell(store::Table& t, const QString& relativeName, const QString& column);
  // A value a command needs from the current record: a number, not empty.
  std::optional<double> need(store::Table& t, const QString& relativeName, const QString& column);
  // A value that reads 0 when empty, but must be a number when given.
  std::optional<double> orZero(store::Table& t, const QString& relativeName, const QString& column);
  // The eleven oxides of the current record, empty values as 0.
  std::optional<core::Contents> contentsOrZero(store::Table& t, const QString& relativeName);
  // HJ, IL and DJ of the current raw material, none of them empty.
  struct Totals {
    double hj = 0;
    double il = 0;
    double dj = 0;
  };
  std::optional<Totals> needTotals(store::Table& t, const QString& relativeName);

  // Visits every record of the table's current order and range; `f` returns
  // false to stop the walk.
  template <typename F>
  bool forEach(store::Table& t, F&& f) {
    return walk(t, f, true);
  }
  // How a walk that keeps the place treats the engine's failures and the
  // compact display's range.
  struct Walk {
    bool reported = true;     // false: a view's read, which shows no message
    bool wholeTable = false;  // every record, the compact display's range lifted
  };
  // Visits every record like forEach and returns to the record it started on.
  // (The default is written out: clang takes no initializer of a class
  // nested in one not yet complete.)
  template <typename F>
  bool forEachKeepingPlace(store::Table& t, F&& f, Walk how = Walk{true, false}) {
    const store::Table::Bookmark here = t.bookmark();
    bool done = false;
    {
      std::optional<WholeTable> all;
      if (how.wholeTable) all.emplace(t);
      done = walk(t, f, how.reported);
    }
    if (here.isValid() && !t.gotoBookmark(here) && done) done = how.reported && engine(t);
    return done;
  }

  // Edits the current record, sets its values with `set` and posts it.
  template <typename F>
  bool update(store::Table& t, F&& set) {
    return (t.edit() || engine(t)) && set() && (t.post() || engine(t));
  }
  bool setText(store::Table& t, const QString& column, const QString& text) {
    return t.setText(column, text) || engine(t);
  }
  bool deleteAll(store::Table& t);
  // In-use flags "1" of table 1 back to "0", over the current order and range.
  bool clearInUse();
  // Writes the result record the cursor is on (or starts one) and posts it.
  bool writeResultRecord(const ResultValues& values);

 private:
  template <typename F>
  bool walk(store::Table& t, F& f, bool reported) {
    if (!t.first()) return reported && engine(t);
    while (!t.eof()) {
      if (!f()) return false;
      if (!t.next()) return reported && engine(t);
    }
    return true;
  }

  Prompter& prompter_;
  QString base_;
  std::array<store::Table, 4> work_;
  store::Table ownMaterials_;
  store::Table ownTargets_;
  store::Table* materials_;
  store::Table* targets_;
};

}  // namespace tessaro::app
