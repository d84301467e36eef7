#pragma once
// The user-interface port: everything the program needs from a person or a
// desktop. ui/ implements it with Qt widgets; the tests implement it with a
// scripted user. All texts are Windows-1252.

#include <optional>
#include <string>
#include <vector>

namespace vardo {

class Dialog;
struct Window;
enum class Arrange;

// Message box types; the numbers are those the callers pass.
enum MsgType : int {
    MSG_INFO = 1,        // OK, information icon
    MSG_OKCANCEL = 2,    // OK / Cancel, question icon
    MSG_YESNOCANCEL = 3, // Yes / No / Cancel, question icon
    MSG_YESNO = 4,       // Yes / No, question icon
    MSG_YESNO_NO = 5,    // Yes / No with No as default, question icon
    MSG_STOP = 6,        // OK / Cancel, stop icon
};

// Buttons a message box reports.
enum MsgButton : int { BTN_OK = 1, BTN_CANCEL = 2, BTN_YES = 6, BTN_NO = 7 };

struct FileFilter {
    std::string label;   // "File dBase (*.dbf)"
    std::string pattern; // "*.dbf"
};

struct FileDialogSpec {
    std::string title;
    std::vector<FileFilter> filters;
    std::string folder;       // where the dialog opens
    bool fileMustExist = false;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box with the buttons and icon of `type`; the text has its
    // line breaks already. Returns the button pressed (MsgButton).
    virtual int messageBox(const std::string& text, const std::string& title, int type) = 0;
    virtual void beep(int hertz, int milliseconds) = 0;

    // The single non-modal wait box. It disables the active window while open.
    virtual void openWaitBox(const std::string& text, const std::string& title) = 0;
    virtual void setWaitText(const std::string& text) = 0;
    // The print-progress variant, with its page counter.
    virtual void openPrintProgress() = 0;
    virtual void setPrintPage(int page) = 0;
    virtual void closeWaitBox() = 0;

    // File dialogs; nullopt when cancelled.
    virtual std::optional<std::string> openFileDialog(const FileDialogSpec& request) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogSpec& request) = 0;

    // Runs a dialog modally until its model ends it; returns the model's result.
    virtual int runDialog(Dialog& dialog) = 0;

    // Lets pending window events be processed (long steps and waits call it).
    virtual void pumpEvents() = 0;

    // Hands a file or an address (mailto:) to the desktop.
    virtual bool openWithDesktop(const std::string& target) = 0;

    // Shows the main frame maximised and runs the event loop until it closes.
    virtual void runFrame(Window& frame) = 0;
    // Shows a child window of the main frame.
    virtual void openChild(Window& child) = 0;
    virtual void arrangeChildren(Arrange how) = 0;
    // True while the person holds the Esc key down.
    virtual bool escapeHeld() = 0;
};

// The port in use; set once at start-up (or by a test).
UserInterface& ui();
// Installs a port; returns the one it replaces (nullptr when none).
UserInterface* setUserInterface(UserInterface* port);

} // namespace vardo
