#pragma once
// The scripted user: a person played by a test. The test queues, in order, what
// the program will show and what the person does about it (expect dialog
// "COPIAFILE", type in 101, press 201; expect message "Campo non valido.",
// answer OK); the command then runs exactly as in the program, on real files.
// Anything the program shows that the script did not expect fails the test with
// what was shown.
//
// Texts in the script are written in UTF-8 as the program's texts read; ";" in
// an expected message stands for its line breaks, as in the program's texts.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialog.h"
#include "common/ui.h"
#include "common/window.h"

namespace vardo::test {

// Thrown when the program does something the script did not expect; the test
// has already been marked failed with the details.
struct ScriptFailure {
    std::string what;
};

class ScriptedUser : public UserInterface {
public:
    // Installs itself as the port for its lifetime.
    ScriptedUser();
    ~ScriptedUser() override;

    // --- the script ----------------------------------------------------------
    // A modal message with exactly this text; the person presses `answer`.
    ScriptedUser& expectMessage(const std::string& text, int answer = BTN_OK);
    // A dialog of this template; the actions that follow act on it.
    ScriptedUser& expectDialog(const std::string& templateName);
    // Replaces the text of entry field `id` by typing `text` into it key by key.
    ScriptedUser& type(int id, const std::string& text);
    // Types into entry field `id` at the cursor, without clearing it first.
    ScriptedUser& keys(int id, const std::string& text);
    // A new value for a check box, list or radio group.
    ScriptedUser& choose(int id, Value value);
    ScriptedUser& press(int id);
    // Esc (or the close box).
    ScriptedUser& escape();
    // Looks at the running dialog (test assertions).
    ScriptedUser& inspect(std::function<void(Dialog&)> check);
    // A file dialog of this title; the person picks `path`, or cancels (nullopt).
    ScriptedUser& expectOpenFile(const std::string& title, std::optional<std::string> path);
    ScriptedUser& expectSaveFile(const std::string& title, std::optional<std::string> path);
    // Fails the test when something queued was never shown.
    void finish();

    // --- what was shown, for assertions ----------------------------------------
    std::vector<std::string> waitLog;   // "open Attendere: text", "text: ...", "page 1", "close"
    std::vector<int> beeps;             // hertz of each beep
    std::vector<std::string> opened;    // targets handed to the desktop
    std::vector<int> invalidMarks;      // indexes whose red line was drawn
    std::vector<FileDialogSpec> fileDialogs;
    bool waitBoxOpen() const { return waitOpen_; }
    std::vector<Window*> children;      // child windows shown and not closed
    std::vector<Arrange> arranged;
    bool holdingEscape = false;         // what escapeHeld() answers

    // --- the port --------------------------------------------------------------
    int messageBox(const std::string& text, const std::string& title, int type) override;
    void beep(int hertz, int milliseconds) override;
    void openWaitBox(const std::string& text, const std::string& title) override;
    void setWaitText(const std::string& text) override;
    void openPrintProgress() override;
    void setPrintPage(int page) override;
    void closeWaitBox() override;
    std::optional<std::string> openFileDialog(const FileDialogSpec& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogSpec& request) override;
    int runDialog(Dialog& dialog) override;
    void pumpEvents() override {}
    bool openWithDesktop(const std::string& target) override;
    // Shows the frame, runs its first-show steps, then closes it.
    void runFrame(Window& frame) override;
    void openChild(Window& child) override;
    void arrangeChildren(Arrange how) override { arranged.push_back(how); }
    bool escapeHeld() override { return holdingEscape; }

private:
    enum class Kind { Message, Dialog, Type, Keys, Choose, Press, Escape, Inspect, OpenFile, SaveFile };
    struct Step {
        Kind kind;
        std::string text; // message text, template name, typed text, dialog title
        int id = 0;       // control id, or the answer of a message
        Value value;
        std::optional<std::string> path;
        std::function<void(Dialog&)> check;
    };
    static std::string describe(const Step& step);
    [[noreturn]] void fail(const std::string& shown);
    Step next(const std::string& shown);
    void perform(Dialog& dialog, const Step& step);
    std::optional<std::string> fileDialog(Kind kind, const FileDialogSpec& request);

    std::vector<Step> script_;
    size_t at_ = 0;
    bool waitOpen_ = false;
    UserInterface* previous_ = nullptr;
};

} // namespace vardo::test
