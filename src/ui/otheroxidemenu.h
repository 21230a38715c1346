// The pop-up menu of the other-oxide titles ("PopupMenu1"), the same on the
// main screen and in the library windows.
#pragma once

#include <functional>

class QMenu;
class QWidget;

namespace tessaro::ui {

// The built-in entries of app::kOtherOxideMenu run `choose` with their index;
// the free entry "其它" runs `nameFreely`.
QMenu* buildOtherOxideMenu(QWidget* parent, std::function<void(int entry)> choose, std::function<void()> nameFreely);

}  // namespace tessaro::ui
