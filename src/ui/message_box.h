#pragma once
// The modal message boxes of the six types (buttons, icon, default button).

#include <string>

class QWidget;

namespace vardo {

// Shows the box owned by `owner` and returns the MsgButton pressed; Esc and the
// close box answer as Cancel, or No where there is no Cancel.
int showMessageBox(const std::string& text, const std::string& title, int type, QWidget* owner);

} // namespace vardo
