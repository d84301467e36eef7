#pragma once
// Helpers for driving real widgets offscreen: the application object, and a way
// to act on a modal window while the code under test waits in its event loop.

#include "common/window.h"

#include <QApplication>
#include <QWidget>
#include <functional>

namespace vardo::test {

// The rows of a list, for grids: row i is current after goRow(i).
class ListSource : public GridSource {
public:
    explicit ListSource(int rows) : rows(rows) {}
    int rowCount() override { return rows; }
    void goRow(int row) override { current = row; }
    int currentRow() override { return current; }

    int rows;
    int current = 0;
};

// Runs `step` on the next modal window that opens (a message box, a dialog);
// the test fails when none opens within five seconds.
void whenModal(std::function<void(QWidget*)> step);

// Processes events until `condition` holds; false when it never did.
bool waitUntil(const std::function<bool()>& condition, int milliseconds = 3000);

// The visible top-level window of type T; nullptr when there is none.
template <class T> T* visibleWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = dynamic_cast<T*>(w); t && t->isVisible()) return t;
    return nullptr;
}

} // namespace vardo::test
