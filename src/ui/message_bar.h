#pragma once
// The message bar at the bottom of the main frame: the prompt of the item under
// the pointer, then the clock, the date and the keyboard-state indicators, on
// the banded gradient.

#include <QStatusBar>

class QLabel;
class QTimer;

namespace vardo {

class MessageBar : public QStatusBar {
public:
    explicit MessageBar(QWidget* parent);

    void showPrompt(const QString& prompt);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();
    void showKeyboard();

    QLabel* clock_;
    QLabel* date_;
    QLabel* caps_;
    QLabel* num_;
    QLabel* insert_;
};

} // namespace vardo
