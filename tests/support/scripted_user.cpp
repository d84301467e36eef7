#include "support/scripted_user.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/cp1252.h"

namespace vardo::test {

namespace {

// The program's form of a scripted text: Windows-1252, ";" as line break.
std::string programText(const std::string& utf8, bool lineBreaks) {
    std::string out = utf8ToCp1252(utf8);
    if (lineBreaks)
        for (char& c : out)
            if (c == ';') c = '\n';
    return out;
}

std::string shownText(const std::string& cp) { return cp1252ToUtf8(cp); }

class ScriptedView : public DialogView {
public:
    explicit ScriptedView(ScriptedUser& user) : user_(user) {}
    void sync() override {}
    void markInvalid(int index, bool on) override {
        if (on) user_.invalidMarks.push_back(index);
    }
    void close() override {}

private:
    ScriptedUser& user_;
};

// A child window as the scripted user sees it: closing takes it off the list.
class ScriptedWindowView : public WindowView {
public:
    ScriptedWindowView(ScriptedUser& user, Window& window) : user_(user), window_(window) {}
    void refresh() override {}
    void close() override {
        std::erase(user_.children, &window_);
        window_.view = nullptr;
        delete this;
    }
    void activate() override {
        if (window_.onFocus) window_.onFocus();
    }

private:
    ScriptedUser& user_;
    Window& window_;
};

} // namespace

ScriptedUser::ScriptedUser() { previous_ = setUserInterface(this); }

ScriptedUser::~ScriptedUser() {
    for (Window* w : std::vector<Window*>(children)) w->view->close();
    setUserInterface(previous_);
}

ScriptedUser& ScriptedUser::expectMessage(const std::string& text, int answer) {
    script_.push_back({Kind::Message, programText(text, true), answer});
    return *this;
}

ScriptedUser& ScriptedUser::expectDialog(const std::string& templateName) {
    script_.push_back({Kind::Dialog, templateName});
    return *this;
}

ScriptedUser& ScriptedUser::type(int id, const std::string& text) {
    script_.push_back({Kind::Type, programText(text, false), id});
    return *this;
}

ScriptedUser& ScriptedUser::keys(int id, const std::string& text) {
    script_.push_back({Kind::Keys, programText(text, false), id});
    return *this;
}

ScriptedUser& ScriptedUser::choose(int id, Value value) {
    script_.push_back({Kind::Choose, {}, id, std::move(value)});
    return *this;
}

ScriptedUser& ScriptedUser::press(int id) {
    script_.push_back({Kind::Press, {}, id});
    return *this;
}

ScriptedUser& ScriptedUser::escape() {
    script_.push_back({Kind::Escape});
    return *this;
}

ScriptedUser& ScriptedUser::inspect(std::function<void(Dialog&)> check) {
    Step s{Kind::Inspect};
    s.check = std::move(check);
    script_.push_back(std::move(s));
    return *this;
}

ScriptedUser& ScriptedUser::expectOpenFile(const std::string& title, std::optional<std::string> path) {
    Step s{Kind::OpenFile, programText(title, false)};
    s.path = std::move(path);
    script_.push_back(std::move(s));
    return *this;
}

ScriptedUser& ScriptedUser::expectSaveFile(const std::string& title, std::optional<std::string> path) {
    Step s{Kind::SaveFile, programText(title, false)};
    s.path = std::move(path);
    script_.push_back(std::move(s));
    return *this;
}

void ScriptedUser::finish() {
    if (at_ < script_.size())
        ADD_FAILURE() << "the program never showed what the script expected next: "
                      << describe(script_[at_]);
    script_.clear();
    at_ = 0;
}

std::string ScriptedUser::describe(const Step& step) {
    switch (step.kind) {
    case Kind::Message: return "message \"" + shownText(step.text) + "\"";
    case Kind::Dialog: return "dialog " + step.text;
    case Kind::Type: return "typing \"" + shownText(step.text) + "\" in " + std::to_string(step.id);
    case Kind::Keys: return "keys \"" + shownText(step.text) + "\" in " + std::to_string(step.id);
    case Kind::Choose: return "a choice in " + std::to_string(step.id);
    case Kind::Press: return "pressing " + std::to_string(step.id);
    case Kind::Escape: return "Esc";
    case Kind::Inspect: return "a look at the dialog";
    case Kind::OpenFile: return "open-file dialog \"" + shownText(step.text) + "\"";
    case Kind::SaveFile: return "save-file dialog \"" + shownText(step.text) + "\"";
    }
    return {};
}

void ScriptedUser::fail(const std::string& shown) {
    std::string expected = at_ < script_.size() ? describe(script_[at_]) : "nothing more";
    ADD_FAILURE() << "the program showed " << shown << "; the script expected " << expected;
    throw ScriptFailure{shown};
}

ScriptedUser::Step ScriptedUser::next(const std::string& shown) {
    if (at_ >= script_.size()) fail(shown);
    return script_[at_++];
}

int ScriptedUser::messageBox(const std::string& text, const std::string& title, int type) {
    std::string shown = "message \"" + shownText(text) + "\" (type " + std::to_string(type) +
                        ", title \"" + shownText(title) + "\")";
    if (at_ >= script_.size() || script_[at_].kind != Kind::Message || script_[at_].text != text)
        fail(shown);
    Step s = next(shown);
    return s.id;
}

void ScriptedUser::beep(int hertz, int) { beeps.push_back(hertz); }

void ScriptedUser::openWaitBox(const std::string& text, const std::string& title) {
    waitOpen_ = true;
    waitLog.push_back("open " + shownText(title) + ": " + shownText(text));
}

void ScriptedUser::setWaitText(const std::string& text) { waitLog.push_back("text: " + shownText(text)); }

void ScriptedUser::openPrintProgress() {
    waitOpen_ = true;
    waitLog.push_back("open print progress");
}

void ScriptedUser::setPrintPage(int page) { waitLog.push_back("page " + std::to_string(page)); }

void ScriptedUser::closeWaitBox() {
    waitOpen_ = false;
    waitLog.push_back("close");
}

std::optional<std::string> ScriptedUser::fileDialog(Kind kind, const FileDialogSpec& request) {
    fileDialogs.push_back(request);
    std::string shown = std::string(kind == Kind::OpenFile ? "open" : "save") + "-file dialog \"" +
                        shownText(request.title) + "\"";
    if (at_ >= script_.size() || script_[at_].kind != kind || script_[at_].text != request.title)
        fail(shown);
    return next(shown).path;
}

std::optional<std::string> ScriptedUser::openFileDialog(const FileDialogSpec& request) {
    return fileDialog(Kind::OpenFile, request);
}

std::optional<std::string> ScriptedUser::saveFileDialog(const FileDialogSpec& request) {
    return fileDialog(Kind::SaveFile, request);
}

void ScriptedUser::perform(Dialog& dialog, const Step& step) {
    auto indexOf = [&](int id) {
        int i = dialog.indexOf(id);
        if (i < 0) fail("dialog " + dialog.templateName() + " without a control " + std::to_string(id));
        return i;
    };
    switch (step.kind) {
    case Kind::Type:
    case Kind::Keys: {
        int i = indexOf(step.id);
        dialog.focusTo(i);
        if (step.kind == Kind::Type) dialog.selectAll();
        for (char c : step.text) dialog.typeChar(c);
        break;
    }
    case Kind::Choose: dialog.focusTo(indexOf(step.id)); dialog.setValue(indexOf(step.id), step.value); break;
    case Kind::Press:
        indexOf(step.id);
        dialog.press(step.id);
        break;
    case Kind::Escape: dialog.requestClose(); break;
    case Kind::Inspect: step.check(dialog); break;
    default: break;
    }
}

int ScriptedUser::runDialog(Dialog& dialog) {
    std::string shown = "dialog " + dialog.templateName() + " \"" + shownText(dialog.caption) + "\"";
    if (at_ >= script_.size() || script_[at_].kind != Kind::Dialog || script_[at_].text != dialog.templateName())
        fail(shown);
    next(shown);
    ScriptedView view(*this);
    dialog.attach(&view);
    while (!dialog.ended()) {
        if (at_ >= script_.size()) fail(shown + " still open, with nothing left to do");
        Kind k = script_[at_].kind;
        if (k == Kind::Message || k == Kind::Dialog || k == Kind::OpenFile || k == Kind::SaveFile)
            fail(shown + " still open, waiting for the person");
        perform(dialog, next(shown));
    }
    dialog.attach(nullptr);
    return dialog.result();
}

// The frame shows, runs its first steps, and the person closes it at once
// (which closes its child windows through their close checks).
void ScriptedUser::runFrame(Window& frame) {
    if (frame.onFirstShow) frame.onFirstShow();
    if (frame.canClose) frame.canClose();
}

void ScriptedUser::openChild(Window& child) {
    children.push_back(&child);
    child.view = new ScriptedWindowView(*this, child);
    child.view->activate();
    if (child.onFirstShow) child.onFirstShow();
}

bool ScriptedUser::openWithDesktop(const std::string& target) {
    opened.push_back(target);
    return true;
}

} // namespace vardo::test
