#include "common/paths.h"

#include "common/format.h"
#include "common/messages.h"
#include "common/ui.h"
#include "platform/os.h"

#include <vector>

namespace vardo {

std::string CFILEEXT(std::string_view path) {
    const std::string text = trim(path);
    size_t dot = text.rfind('.');
    return dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

std::string FULLNAME(std::string_view path) {
    return os::absolutePath(std::string(path));
}

std::string FULLPATH(std::string_view path) {
    const std::string full = FULLNAME(path);
    size_t slash = full.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : full.substr(0, slash);
}

std::string CURPATH() {
    std::string current = os::currentDirectory();
    return current.ends_with('/') ? current : current + "/";
}

void DELDIR(const std::string& folder) {
    std::vector<os::DirEntry> entries;
    if (os::listDirectory(folder, entries) != os::Ok) return;
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    for (const auto& entry : entries) {
        if (entry.directory) continue;
        if (os::removeFile(prefix + entry.name) != os::Ok) return;
    }
}

std::string driveOf(std::string_view path) {
    return FULLPATH(path);
}

bool ISREADY(const std::string& drive, bool showMessage) {
    if (drive.empty() || os::isDirectory(drive)) return true;
    if (showMessage) POPMSG("Disco non pronto.", MSG_INFO);
    return false;
}

bool ISFULL(const std::string& drive, uint64_t bytes) {
    if (drive.empty()) return false;
    if (!ISREADY(drive)) return true;
    uint64_t available = 0; // a file system that cannot be asked counts as full
    os::freeSpace(drive, available);
    if (available >= bytes) return false;
    POPMSG("Spazio sul disco insufficiente.", MSG_INFO);
    return true;
}

} // namespace vardo
