#pragma once
// What the keyboard holds, for the whole application: whether Esc is held down
// (a window's close check asks it), and the lock states the message bar shows.

#include <QObject>
#include <functional>
#include <vector>

namespace vardo {

class KeyboardState : public QObject {
public:
    // Watches every key event of the application while it exists.
    KeyboardState();
    ~KeyboardState() override;

    static KeyboardState* instance();

    bool escapeHeld() const { return escape_; }
    bool capsLock() const { return caps_; }
    bool numLock() const { return num_; }
    bool insertMode() const { return insert_; }

    // Called whenever a lock state changes.
    void onChange(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();

    bool escape_ = false;
    bool caps_ = false, num_ = true, insert_ = true;
    std::vector<std::function<void()>> listeners_;
};

} // namespace vardo
