#pragma once
// The file-open and file-save dialogs.

#include "common/ui.h"

#include <optional>
#include <string>

class QWidget;

namespace vardo {

enum class FileDialogKind { Open, Save };

// The chosen path in Windows-1252; nullopt when the person cancels. The open
// dialog takes only existing folders (and only existing files when asked to);
// the save dialog asks nothing about replacing a file.
std::optional<std::string> chooseFile(const FileDialogSpec& request, FileDialogKind kind,
                                      QWidget* owner);

} // namespace vardo
