#pragma once
// The user-interface port of the command-line tool: messages go to standard
// error, nobody answers questions (OK and Yes are never pressed), and nothing
// that needs a person (dialogs, windows) can run.

#include "common/ui.h"

namespace vardo {

class ConsoleUserInterface : public UserInterface {
public:
    int messageBox(const std::string& text, const std::string& title, int type) override;
    void beep(int, int) override {}
    void openWaitBox(const std::string&, const std::string&) override {}
    void setWaitText(const std::string&) override {}
    void openPrintProgress() override {}
    void setPrintPage(int) override {}
    void closeWaitBox() override {}
    std::optional<std::string> openFileDialog(const FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogSpec&) override { return std::nullopt; }
    int runDialog(Dialog& dialog) override;
    void pumpEvents() override {}
    bool openWithDesktop(const std::string&) override { return false; }
    void runFrame(Window&) override {}
    void openChild(Window&) override {}
    void arrangeChildren(Arrange) override {}
    bool escapeHeld() override { return false; }
};

} // namespace vardo
