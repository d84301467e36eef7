#pragma once
// Path helpers and the drive checks the file commands run before touching a
// disk. On this system the "drive" of a path is its folder: ready when the
// folder exists, full when its file system lacks the space.

#include <cstdint>
#include <string>
#include <string_view>

namespace vardo {

// The extension: what follows the last "." anywhere in the trimmed path; empty
// when there is none (so a dot in a folder name yields the rest of the path).
std::string CFILEEXT(std::string_view path);
// The absolute path, resolved against the current folder.
std::string FULLNAME(std::string_view path);
// The folder of the absolute path, without a closing "/" except for the root.
std::string FULLPATH(std::string_view path);
// The current folder with a closing "/" ("/" alone at the root).
std::string CURPATH();
// Deletes every file of the folder, hidden ones included, stopping silently at
// the first that cannot be deleted; sub-folders and the folder stay.
void DELDIR(const std::string& folder);
// The "drive" of a path: the folder of its absolute form.
std::string driveOf(std::string_view path);
// True when the drive text is empty or names an existing folder; otherwise shows
// "Disco non pronto." (unless `showMessage` is false) and gives false.
bool ISREADY(const std::string& drive, bool showMessage = true);
// True when the drive is not ready or has less than `bytes` free, after the
// message of ISREADY or "Spazio sul disco insufficiente."; false for an empty text.
bool ISFULL(const std::string& drive, uint64_t bytes = 8192);

} // namespace vardo
