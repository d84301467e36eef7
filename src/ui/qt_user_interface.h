#pragma once
// The user-interface port drawn with Qt widgets. It needs a QApplication, made
// by the entry point before it; while it exists it is the program's port.

#include "common/ui.h"

#include <QPointer>
#include <memory>

class QWidget;

namespace vardo {

class FrameWindow;
class KeyboardState;
class WaitBox;

class QtUserInterface : public UserInterface {
public:
    QtUserInterface();
    ~QtUserInterface() override;
    QtUserInterface(const QtUserInterface&) = delete;
    QtUserInterface& operator=(const QtUserInterface&) = delete;

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
    void pumpEvents() override;
    bool openWithDesktop(const std::string& target) override;
    void runFrame(Window& frame) override;
    void openChild(Window& child) override;
    void arrangeChildren(Arrange how) override;
    bool escapeHeld() override;

    // The main frame while runFrame runs; nullptr otherwise.
    FrameWindow* frame() const { return frame_; }

private:
    // The window that owns a new box or dialog: the active one, or the frame.
    QWidget* owner() const;

    std::unique_ptr<KeyboardState> keys_;
    QPointer<WaitBox> wait_;
    FrameWindow* frame_ = nullptr;
    UserInterface* previous_ = nullptr;
};

} // namespace vardo
