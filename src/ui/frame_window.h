#pragma once
// The main frame: a multiple-document window with its menus, its toolbar, the
// area of the child windows and the message bar.

#include "common/window.h"
#include "ui/window_menus.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace vardo {

class ChildWindow;
class MessageBar;

class FrameWindow : public QMainWindow {
public:
    explicit FrameWindow(Window& model);
    ~FrameWindow() override;

    void openChild(Window& model);
    void arrange(Arrange how);
    // The open children, in the order they were opened.
    const std::vector<ChildWindow*>& children() const { return children_; }
    QMdiArea* area() const { return area_; }

    // Runs a command chosen in a menu or on a toolbar once the event that chose
    // it is over (its menu has closed), then takes any change of the menus.
    void runCommand(std::function<void()> command);
    void showPrompt(const QString& prompt);
    // Reads every window's menus again and shows the active one's.
    void syncMenus();
    void childClosed(ChildWindow* child);

    bool closed() const { return closed_; }
    void onClosed(std::function<void()> listener) { onClosed_ = std::move(listener); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class View : public WindowView {
    public:
        explicit View(FrameWindow& frame) : frame_(frame) {}
        void refresh() override;
        void close() override;
        void activate() override { frame_.activateWindow(); }

    private:
        FrameWindow& frame_;
    };

    void activated(QMdiSubWindow* window);
    void fillMenuBar();
    // Closes the children, the most recent first, each through its close
    // check; false at the first that refuses.
    bool closeChildren();
    void tile(bool sideBySide);
    void arrangeIcons();

    Window* model_;
    View view_{*this};
    QMdiArea* area_;
    MessageBar* bar_;
    std::unique_ptr<WindowMenus> menus_;
    std::unique_ptr<WindowToolBar> toolbar_;
    std::vector<ChildWindow*> children_;
    ChildWindow* active_ = nullptr; // the child whose menus the bar shows
    bool checked_ = false;          // the program asked the frame's close check itself
    bool closed_ = false;
    std::function<void()> onClosed_;
};

} // namespace vardo
