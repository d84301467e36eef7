#pragma once
// The menus and the toolbar of one window, drawn from its description and
// drawn again when the description changes (a menu's version moves on).

#include "common/menu.h"

#include <QPointer>
#include <functional>
#include <vector>

class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

namespace vardo {

// How a window runs a command chosen from a menu or the toolbar.
using CommandRunner = std::function<void(std::function<void()>)>;
// Where a highlighted item's prompt goes (empty text: nothing highlighted).
using PromptSink = std::function<void(const QString&)>;

class WindowMenus {
public:
    WindowMenus(std::vector<Menu>& menus, QWidget* owner, CommandRunner run, PromptSink prompt);
    ~WindowMenus();
    WindowMenus(const WindowMenus&) = delete;
    WindowMenus& operator=(const WindowMenus&) = delete;

    // Reads the description again; true when the list of menus itself changed,
    // so that a menu bar showing them must be filled again.
    bool update();
    // Puts these menus into the bar in place of whatever it showed.
    void fill(QMenuBar* bar) const;

private:
    void build(size_t index);
    void rebuildAll();
    void choose(size_t menu, size_t item);

    std::vector<Menu>& model_;
    QWidget* owner_;
    CommandRunner run_;
    PromptSink prompt_;
    std::vector<QPointer<QMenu>> menus_;
    std::vector<int> versions_;
};

class WindowToolBar {
public:
    WindowToolBar(std::vector<ToolButton>& buttons, QToolBar* bar, CommandRunner run);
    // Takes the enabling, captions and tooltips again.
    void update();

private:
    std::vector<ToolButton>& model_;
    std::vector<QToolButton*> buttons_;
};

} // namespace vardo
