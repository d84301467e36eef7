#include "cli/console.h"

#include <cstdio>

#include "platform/cp1252.h"
#include "common/dialog.h"

namespace vardo {

int ConsoleUserInterface::messageBox(const std::string& text, const std::string&, int type) {
    std::fprintf(stderr, "%s\n", cp1252ToUtf8(text).c_str());
    return type == MSG_INFO ? BTN_OK : (type == MSG_YESNO || type == MSG_YESNO_NO ? BTN_NO : BTN_CANCEL);
}

int ConsoleUserInterface::runDialog(Dialog& dialog) {
    dialog.end(0);
    return 0;
}

} // namespace vardo
