#pragma once
// The program running in this process with its Qt front end, as its entry
// point runs it, and the widgets a person sees of it.

#include "commands.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>
#include <string>

class QMenu;
class QToolBar;

namespace vardo {

class ChildWindow;
class FrameWindow;

namespace test {

// Runs start-up, the main frame and its event loop with the program's commands
// (the command line naming `file`, or nothing when it is empty). Once the frame
// is idle in its event loop, showing the window of `file` when one is named,
// `body` runs; then the frame is closed and the run ends.
void runProgram(const std::string& file, const std::function<void(FrameWindow&)>& body,
                const Commands& commands = programCommands());

// The one invoice-file window of the frame; nullptr when there is none.
ChildWindow* onlyChild(FrameWindow& frame);

QStringList menuTitles(FrameWindow& frame);
QMenu* menuNamed(FrameWindow& frame, const QString& title);
// The toolbar of the frame itself, or of a child window.
QToolBar* frameToolBar(FrameWindow& frame);
QToolBar* childToolBar(ChildWindow& child);

// Processes events for a while, so that queued commands run.
void settle();

} // namespace test
} // namespace vardo

// Qt's texts in test messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
