#include "ui/qt_user_interface.h"

#include <QGuiApplication>
#include <QScreen>

#include "common/dialog.h"
#include "common/window.h"
#include "platform/os.h"
#include "ui/dialog_window.h"
#include "ui/file_dialogs.h"
#include "ui/frame_window.h"
#include "ui/keyboard_state.h"
#include "ui/message_box.h"
#include "ui/program_call.h"
#include "ui/qt_text.h"
#include "ui/wait_box.h"

#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QFontDatabase>

namespace vardo {

namespace {

// The program asks for Windows fonts by name; on other desktops the installed
// metric-compatible or monospaced families stand in for them.
void substituteFonts() {
    const std::pair<const char*, const char*> substitutes[] = {
        {"Arial", "Liberation Sans"},
        {"Consolas", "DejaVu Sans Mono"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& [wanted, installed] : substitutes)
        if (!QFontDatabase::hasFamily(wanted)) QFont::insertSubstitution(wanted, installed);
}

} // namespace

QtUserInterface::QtUserInterface() : keys_(std::make_unique<KeyboardState>()) {
    substituteFonts();
    previous_ = setUserInterface(this);
}

QtUserInterface::~QtUserInterface() {
    if (wait_) wait_->finish();
    setUserInterface(previous_);
}

QWidget* QtUserInterface::owner() const {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    // A disabled window (the one under the wait box) would disable its boxes too.
    if (dynamic_cast<WaitBox*>(w) || (w && !w->isEnabled())) w = nullptr;
    if (!w && frame_ && frame_->isEnabled()) w = frame_;
    return w;
}

int QtUserInterface::messageBox(const std::string& text, const std::string& title, int type) {
    return showMessageBox(text, title, type, owner());
}

void QtUserInterface::beep(int, int) {
    QApplication::beep();
}

void QtUserInterface::openWaitBox(const std::string& text, const std::string& title) {
    if (wait_) wait_->finish();
    wait_ = WaitBox::openText(toQt(text), toQt(title));
}

void QtUserInterface::setWaitText(const std::string& text) {
    if (wait_) wait_->setText(toQt(text));
}

void QtUserInterface::openPrintProgress() {
    if (wait_) wait_->finish();
    wait_ = WaitBox::openPrintProgress();
}

void QtUserInterface::setPrintPage(int page) {
    if (wait_) wait_->setPage(page);
}

void QtUserInterface::closeWaitBox() {
    if (wait_) wait_->finish();
    wait_ = nullptr;
}

std::optional<std::string> QtUserInterface::openFileDialog(const FileDialogSpec& request) {
    return chooseFile(request, FileDialogKind::Open, owner());
}

std::optional<std::string> QtUserInterface::saveFileDialog(const FileDialogSpec& request) {
    return chooseFile(request, FileDialogKind::Save, owner());
}

int QtUserInterface::runDialog(Dialog& dialog) {
    if (dialog.ended()) return dialog.result();
    DialogWindow window(dialog, owner());
    dialog.attach(window.view());
    window.sync();
    if (!dialog.ended()) window.exec();
    dialog.attach(nullptr);
    return dialog.result();
}

void QtUserInterface::pumpEvents() {
    QCoreApplication::processEvents();
}

bool QtUserInterface::openWithDesktop(const std::string& target) {
    return os::openWithDesktop(target);
}

void QtUserInterface::runFrame(Window& model) {
    FrameWindow frame(model);
    frame_ = &frame;
    QEventLoop loop;
    frame.onClosed([&loop] { loop.quit(); });
    // Without a window manager "maximised" means nothing: the frame takes the
    // screen's working area itself first.
    if (QScreen* screen = QGuiApplication::primaryScreen()) frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    QCoreApplication::processEvents();
    if (model.onFirstShow) callProgram(model.onFirstShow);
    if (!frame.closed()) {
        frame.syncMenus();
        loop.exec();
    }
    frame_ = nullptr;
}

void QtUserInterface::openChild(Window& child) {
    if (frame_) frame_->openChild(child);
}

void QtUserInterface::arrangeChildren(Arrange how) {
    if (frame_) frame_->arrange(how);
}

bool QtUserInterface::escapeHeld() {
    return keys_->escapeHeld();
}

} // namespace vardo
