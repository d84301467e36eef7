#include "support/work_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace vardo::test {

namespace fs = std::filesystem;

WorkFolder::WorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "vardo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    fs::create_directory(temp());
    previousDir_ = fs::current_path().string();
    fs::current_path(path_);
    if (const char* t = std::getenv("TEMP")) {
        hadTemp_ = true;
        previousTemp_ = t;
    }
    setenv("TEMP", temp().c_str(), 1);
}

WorkFolder::~WorkFolder() {
    std::error_code ec;
    fs::current_path(previousDir_, ec);
    if (hadTemp_)
        setenv("TEMP", previousTemp_.c_str(), 1);
    else
        unsetenv("TEMP");
    fs::remove_all(path_, ec);
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace vardo::test
