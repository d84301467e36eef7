#pragma once
// Menus and toolbars as data: the subsystem that owns a window describes them,
// ui/ draws them and calls the actions.

#include <functional>
#include <string>
#include <vector>

namespace vardo {

struct MenuItem {
    std::string text;   // "Nuovo file..."; empty for a separator
    std::string hint;   // shown right-aligned after a tab: "ALT-N"
    std::string prompt; // shown in the message bar while highlighted
    std::function<void()> action;
    char accelerator = 0; // Alt + this letter runs the action
    bool enabled = true;
    bool separator() const { return text.empty(); }
    // A command not built yet has no action: its item shows disabled.
    bool available() const { return enabled && action; }
};

struct Menu {
    std::string title; // "File"
    std::vector<MenuItem> items;
    // Bumped whenever the items change after the menu was first drawn.
    int version = 0;
};

struct ToolButton {
    std::string bitmap;  // resource name: "NUOVO"
    std::string label;   // caption under the bitmap
    std::string tooltip;
    std::function<void()> action;
    bool newGroup = false; // a gap before it
    bool enabled = true;
    bool available() const { return enabled && action; }
};

} // namespace vardo
