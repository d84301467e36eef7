#pragma once
// Windows and grids as data. The subsystem that owns a window describes it (menus,
// toolbar, grid columns, handlers); ui/ draws it and reports what the person does.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/menu.h"

namespace vardo {

enum class Align { Left, Center, Right };

struct GridColumn {
    std::string title;
    int width = 0; // pixels
    Align align = Align::Left;
    // The cell of the current row: its text, or for a bitmap column the name of
    // the bitmap resource ("SELECT").
    std::function<std::string()> cell;
    bool bitmap = false;
};

// The rows of a grid: a table in its controlling order, or a list.
class GridSource {
public:
    virtual ~GridSource() = default;
    virtual int rowCount() = 0;
    // Makes a row (0-based) current, so that the columns' cell functions read it.
    virtual void goRow(int row) = 0;
    // The row the program holds current (a command may have moved it); -1 for none.
    virtual int currentRow() = 0;
};

struct Grid {
    std::vector<GridColumn> columns;
    std::shared_ptr<GridSource> source;
    // Handlers run with the row already made current; columns are 0-based.
    std::function<void(int row, int column)> onClick;
    std::function<void(int row, int column)> onDoubleClick;
    std::function<void(int row)> onEnter;
    // A key typed in the grid that it does not use itself (type-ahead search);
    // key codes as in KEYSEARCH: 32..126 and 8 for Backspace. Navigation keys
    // (Home, End, arrows, pages) are reported as 0.
    std::function<void(int key)> onKey;
};

// The front end's side of a shown window.
class WindowView {
public:
    virtual ~WindowView() = default;
    // Redraws the grid, menus and toolbar from the model.
    virtual void refresh() = 0;
    // Closes the window without asking its close check again.
    virtual void close() = 0;
    // Gives the window the focus.
    virtual void activate() = 0;
};

struct Window {
    std::string caption;
    std::string icon;            // resource name
    int width = 0, height = 0;   // pixels; 0 lets the front end choose
    std::vector<Menu> menus;
    std::vector<ToolButton> toolbar;
    std::optional<Grid> grid;
    std::function<void()> onFocus;     // the window became the active one
    std::function<void()> onFirstShow; // right after it first appears
    std::function<bool()> canClose;    // the close check; none: always
    WindowView* view = nullptr;        // set by the front end while shown
};

enum class Arrange { Cascade, TileVertical, TileHorizontal, MinimiseAll, ArrangeIcons };

} // namespace vardo
