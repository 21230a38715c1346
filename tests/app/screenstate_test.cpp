// The view's observer of the main screen: it hears of each step of a command
// before the box that step shows, so a box never stands over a stale screen.
#include <gtest/gtest.h>

#include <vector>

#include "mainscreen_fixture.h"

namespace tessaro::test {
namespace {

using app::WorkTable;

// What a view shows, as it read it from the main screen.
struct Shown {
  bool resultGrid = false;
  bool propertyPanel = false;
  QString kNaButton;
  QString k2oTitle;
  int resultRows = 0;
  bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
  return os << "grid3 " << s.resultGrid << " panel5 " << s.propertyPanel << " " << s.kNaButton.toStdString() << " "
            << s.k2oTitle.toStdString() << " rows " << s.resultRows;
}

class ScreenObserverTest : public MainScreenTest {
 protected:
  Shown view;                  // as the observer last read it
  std::vector<Shown> atBoxes;  // what the view showed as each box came up
  int told = 0;

  Shown now() {
    return {screen->resultGridVisible(), screen->propertyPanelVisible(), screen->kNaCaption(),
            screen->formulaCaptions()[12], table(WorkTable::Result).recordCount()};
  }

  void watch() {
    open();
    screen->setObserver([this] {
      view = now();
      ++told;
    });
    prompter.onPrompt = [this] {
      atBoxes.push_back(view);
      EXPECT_EQ(view, now()) << "box " << atBoxes.size();
    };
  }
};

TEST_F(ScreenObserverTest, CalculationShowsItsResultGridAndRowsBeforeItsFirstReport) {
  watch();
  screen->setShowDetails(true);
  ASSERT_TRUE(screen->calculate());
  ASSERT_EQ(atBoxes.size(), 3u);  // two error reports and the congratulation
  EXPECT_TRUE(atBoxes[0].resultGrid);
  EXPECT_FALSE(atBoxes[0].propertyPanel);
  EXPECT_EQ(atBoxes[0].resultRows, 2);
  // At the steps, not at each record the run posts.
  EXPECT_LE(told, 8);

  // The verification hides the result grid before it asks for the formula.
  atBoxes.clear();
  ASSERT_TRUE(screen->verify());  // the input box is cancelled
  ASSERT_EQ(atBoxes.size(), 1u);
  EXPECT_FALSE(atBoxes[0].resultGrid);

  // A change without a box is told at once.
  const int before = told;
  screen->setPrecision(0);
  EXPECT_EQ(told, before + 1);
}

TEST_F(ScreenObserverTest, EachRetryShowsTheKNaButtonWithItsTitlesBeforeItsBoxes) {
  watch();
  screen->setShowDetails(true);
  screen->setAllowedErrorText("-1");
  ASSERT_TRUE(screen->calculate());
  ASSERT_EQ(atBoxes.size(), 9u);  // four runs of two reports, then the apology
  for (std::size_t i = 0; i < atBoxes.size(); ++i) {
    const bool merged = i / 2 % 2 == 1 || i == 8;
    EXPECT_EQ(atBoxes[i].kNaButton, merged ? "K/Na拆分" : "K/Na合并") << "box " << i;
    EXPECT_EQ(atBoxes[i].k2oTitle, merged ? "K/NaO" : "K2O") << "box " << i;
  }
}

}  // namespace
}  // namespace tessaro::test
