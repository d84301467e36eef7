#include "common/ui.h"

#include <cstdlib>
#include <cstdio>

namespace vardo {

namespace {
UserInterface* gPort = nullptr;
}

UserInterface& ui() {
    if (!gPort) {
        std::fputs("vardo: no user interface installed\n", stderr);
        std::abort();
    }
    return *gPort;
}

UserInterface* setUserInterface(UserInterface* port) {
    UserInterface* previous = gPort;
    gPort = port;
    return previous;
}

} // namespace vardo
