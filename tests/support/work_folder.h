#pragma once
// A fresh working folder for one test: created under the system's temporary
// folder, made the current folder, with TEMP pointing into it; removed again,
// and the old current folder restored, at the end.

#include <string>

namespace vardo::test {

class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The TEMP folder of the test.
    std::string temp() const { return path_ + "/temp"; }

private:
    std::string path_;
    std::string previousDir_;
    std::string previousTemp_;
    bool hadTemp_ = false;
};

// Whole-file helpers for assertions and fixtures.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);

} // namespace vardo::test
