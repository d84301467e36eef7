#pragma once
// The commands of the program, each from the folder that builds it, wired into
// the menus of the frame and the invoice-file windows. The program and the
// command-flow tests use the same wiring.

#include "app/commands.h"

namespace vardo {

Commands programCommands();

} // namespace vardo
