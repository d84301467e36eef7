#include "shell/on_screen.h"

#include "app/startup.h"
#include "common/error.h"
#include "ui/child_window.h"
#include "ui/frame_window.h"
#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace vardo::test {

namespace {

constexpr int kStartLimitMs = 15000;

// Gets a run that went wrong (an unexpected box or dialog) to its end: cancels
// whatever is modal, then closes the frame.
void rescue(QtUserInterface& port) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [&port, timer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "left open: " << modal->metaObject()->className() << " \""
                          << modal->windowTitle().toStdString() << "\"";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        } else if (FrameWindow* frame = port.frame()) {
            frame->close();
        } else {
            timer->deleteLater();
        }
    });
    timer->start(100);
}

} // namespace

void runProgram(const std::string& file, const std::function<void(FrameWindow&)>& body,
                const Commands& commands) {
    QtUserInterface port;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        FrameWindow* frame = port.frame();
        // Level 1 is the frame's own loop: no box or dialog is running.
        bool idle = frame && QThread::currentThread()->loopLevel() == 1 &&
                    !QApplication::activeModalWidget();
        if (idle && (file.empty() || onlyChild(*frame))) {
            poll.stop();
            body(*frame);
            if (port.frame() && !port.frame()->close()) {
                ADD_FAILURE() << "the frame refused to close";
                rescue(port);
            }
        } else if (clock.elapsed() > kStartLimitMs) {
            poll.stop();
            ADD_FAILURE() << "the program did not reach its window";
            rescue(port);
        }
    });
    poll.start();
    INIT$();
    try {
        EXPECT_EQ(MAIN(file, {}, commands), 0);
    } catch (const ProgramEnd& end) {
        ADD_FAILURE() << "the program ended with " << end.exitCode;
    }
    EXIT$();
}

ChildWindow* onlyChild(FrameWindow& frame) {
    const auto& children = frame.children();
    return children.size() == 1 && children.front()->model() ? children.front() : nullptr;
}

QStringList menuTitles(FrameWindow& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

QMenu* menuNamed(FrameWindow& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

QToolBar* frameToolBar(FrameWindow& frame) {
    auto bars = frame.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly);
    return bars.isEmpty() ? nullptr : bars.front();
}

QToolBar* childToolBar(ChildWindow& child) {
    return child.findChild<QToolBar*>();
}

void settle() {
    QTest::qWait(50);
}

} // namespace vardo::test
