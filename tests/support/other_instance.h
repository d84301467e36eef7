#pragma once
// Another instance of the program holding a file open: a real second process
// that opens the file with the given sharing mode and keeps it until the object
// goes away.

#include <string>

#include "platform/os.h"

namespace vardo::test {

class OtherInstance {
public:
    OtherInstance(const std::string& path, os::File::Share share);
    ~OtherInstance();
    OtherInstance(const OtherInstance&) = delete;
    OtherInstance& operator=(const OtherInstance&) = delete;

    // Lets go of the file now.
    void release();

private:
    int pid_ = -1;
    int toChild_ = -1;
};

} // namespace vardo::test
