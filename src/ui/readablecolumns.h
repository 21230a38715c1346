// Every title and every value of a grid readable in full. A column keeps the
// width its window gives it unless its title or one of its values needs
// more; then it grows to what they need, measured by the view's own size
// hints with the fonts the titles and cells are drawn in (bold where a cell
// is bold). Columns grow again whenever the rows or the titles change, and
// as rows far from the first come into view; no column shrinks, so a column
// the user made wider keeps its width. No text is elided.
#pragma once

class QTableView;

namespace tessaro::ui {

// The width column `column` of `view` needs for its title and its widest
// value (of the rows shown and a couple of hundred after them); 0 for a
// hidden column.
int readableWidth(const QTableView& view, int column);

// Widens the columns of `view` (whose model is set) that are narrower than
// readableWidth, now and after every change of its model's rows or titles,
// and turns the eliding of the cells and titles off.
void keepColumnsReadable(QTableView* view);

}  // namespace tessaro::ui
