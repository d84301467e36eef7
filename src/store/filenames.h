#pragma once
// How the table layer names files: the name and extension part of a path is
// upper-cased before any file operation (the folder part is kept as given), and
// an existing file is found whatever the letter case of its name on disk.

#include <string>
#include <string_view>

namespace vardo {

// The path with ".<defaultExt>" appended when its last component has no "."
// (nothing appended when defaultExt is empty) and the last component in upper
// case. A closing "." stands for no extension: "net." is the file NET.
std::string upperFileName(std::string_view path, std::string_view defaultExt = {});
// upperFileName, then the existing file of that name whatever its case on disk
// (the upper-case form when there is none).
std::string tableFile(std::string_view path, std::string_view defaultExt = {});
// True when the last path component has a ".".
bool hasExtension(std::string_view path);
// The path without the extension of its last component.
std::string withoutExtension(std::string_view path);
// The last path component without its extension.
std::string baseName(std::string_view path);

} // namespace vardo
