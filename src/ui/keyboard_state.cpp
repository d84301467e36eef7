#include "ui/keyboard_state.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace vardo {

namespace {

KeyboardState* gInstance = nullptr;

// The X11 modifier bits that report Caps Lock and Num Lock in every key event.
constexpr quint32 kX11LockMask = 0x02, kX11NumMask = 0x10;

} // namespace

KeyboardState::KeyboardState() {
    gInstance = this;
    QCoreApplication::instance()->installEventFilter(this);
}

KeyboardState::~KeyboardState() {
    if (gInstance == this) gInstance = nullptr;
}

KeyboardState* KeyboardState::instance() {
    return gInstance;
}

void KeyboardState::changed() {
    for (auto& listener : listeners_) listener();
}

bool KeyboardState::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        escape_ = false;
    } else if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat())
            escape_ = type == QEvent::KeyPress;
        // A key event visits the window first and then each widget up the
        // parent chain; the lock states count it once, at the window.
        if (type == QEvent::KeyPress && watched->isWindowType() && !key->isAutoRepeat()) {
            bool caps = caps_, num = num_, insert = insert_;
            if (key->key() == Qt::Key_CapsLock)
                caps = !caps;
            else if (key->key() == Qt::Key_NumLock)
                num = !num;
            else if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier)
                insert = !insert;
            else if (QGuiApplication::platformName() == "xcb") {
                caps = key->nativeModifiers() & kX11LockMask;
                num = key->nativeModifiers() & kX11NumMask;
            }
            if (caps != caps_ || num != num_ || insert != insert_) {
                caps_ = caps, num_ = num, insert_ = insert;
                changed();
            }
        }
    }
    return false;
}

} // namespace vardo
