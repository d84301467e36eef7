#pragma once
// Every call from a Qt event into program code goes through callProgram: no
// exception may unwind through Qt's event dispatch. An error that reaches here
// went past every guarded step, so it gets the handler's last word; a
// ProgramEnd ends the run here with its exit clean-up.

#include <functional>

namespace vardo {

void callProgram(const std::function<void()>& step);

} // namespace vardo
