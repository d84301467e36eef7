#include "ui/message_bar.h"

#include "ui/gradient.h"
#include "ui/keyboard_state.h"

#include <QDateTime>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace vardo {

namespace {

QLabel* panel(QStatusBar* bar, const QString& widest, const QString& name) {
    auto* label = new QLabel(bar);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 12);
    bar->addPermanentWidget(label);
    return label;
}

} // namespace

MessageBar::MessageBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    clock_ = panel(this, "00:00:00", "clock");
    date_ = panel(this, "00/00/0000", "date");
    caps_ = panel(this, "MAIUSC", "caps");
    num_ = panel(this, "NUM", "num");
    insert_ = panel(this, "INS", "insert");
    caps_->setText("MAIUSC");
    num_->setText("NUM");
    insert_->setText("INS");
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { tick(); });
    timer->start(1000);
    tick();
    if (KeyboardState* keys = KeyboardState::instance()) {
        QPointer<MessageBar> self(this);
        keys->onChange([self] {
            if (self) self->showKeyboard();
        });
    }
    showKeyboard();
}

void MessageBar::showPrompt(const QString& prompt) {
    if (prompt.isEmpty())
        clearMessage();
    else
        showMessage(prompt);
}

void MessageBar::tick() {
    QDateTime now = QDateTime::currentDateTime();
    clock_->setText(now.toString("HH:mm:ss"));
    date_->setText(now.toString("dd/MM/yyyy"));
}

void MessageBar::showKeyboard() {
    KeyboardState* keys = KeyboardState::instance();
    // An indicator that is off is greyed, as a lamp that is out.
    caps_->setEnabled(keys && keys->capsLock());
    num_->setEnabled(keys && keys->numLock());
    insert_->setEnabled(keys && keys->insertMode());
}

void MessageBar::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        paintGradient(painter, rect(), barGradient());
    }
    QStatusBar::paintEvent(event);
}

} // namespace vardo
