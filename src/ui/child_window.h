#pragma once
// A child window of the main frame: its toolbar at the top, its grid filling
// the rest; its menus take the frame's menu bar while it is the active child.

#include "common/window.h"
#include "ui/window_menus.h"

#include <QMdiSubWindow>
#include <memory>

namespace vardo {

class FrameWindow;
class GridView;

class ChildWindow : public QMdiSubWindow {
public:
    ChildWindow(Window& model, FrameWindow& frame);
    ~ChildWindow() override;

    // Null once the window has closed.
    Window* model() const { return model_; }
    WindowMenus& menus() { return *menus_; }
    bool hasMenus() const { return model_ && !model_->menus.empty(); }
    GridView* grid() const { return grid_; }

    // Redraws the grid, menus and toolbar from the description.
    void refresh();
    // Closes without asking the close check (the program has already asked it).
    void closeByProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class View : public WindowView {
    public:
        explicit View(ChildWindow& window) : window_(window) {}
        void refresh() override { window_.refresh(); }
        void close() override { window_.closeByProgram(); }
        void activate() override;

    private:
        ChildWindow& window_;
    };

    void detach();

    Window* model_;
    FrameWindow& frame_;
    View view_{*this};
    std::unique_ptr<WindowMenus> menus_;
    std::unique_ptr<WindowToolBar> toolbar_;
    GridView* grid_ = nullptr;
    bool checked_ = false; // the program asked the close check itself
};

} // namespace vardo
