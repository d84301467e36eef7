#include "store/filenames.h"

#include "common/format.h"
#include "platform/os.h"

namespace vardo {

namespace {

size_t nameStart(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

} // namespace

bool hasExtension(std::string_view path) {
    return path.find('.', nameStart(path)) != std::string_view::npos;
}

std::string withoutExtension(std::string_view path) {
    size_t dot = path.find('.', nameStart(path));
    return std::string(
        path.substr(0, dot == std::string_view::npos ? path.size() : path.rfind('.')));
}

std::string baseName(std::string_view path) {
    std::string_view name = path.substr(nameStart(path));
    return std::string(name.substr(0, name.rfind('.')));
}

std::string upperFileName(std::string_view path, std::string_view defaultExt) {
    size_t start = nameStart(path);
    std::string out(path.substr(0, start));
    // A closing "." names a file without extension ("NET." is the file NET).
    if (path.size() > start && path.back() == '.')
        return out + upper(path.substr(start, path.size() - start - 1));
    out += upper(path.substr(start));
    if (!defaultExt.empty() && !hasExtension(path)) out += "." + upper(defaultExt);
    return out;
}

std::string tableFile(std::string_view path, std::string_view defaultExt) {
    return os::findCaseless(upperFileName(path, defaultExt));
}

} // namespace vardo
