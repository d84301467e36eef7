#include "support/other_instance.h"

#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace vardo::test {

OtherInstance::OtherInstance(const std::string& path, os::File::Share share) {
    int down[2], up[2];
    if (pipe(down) != 0 || pipe(up) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
        close(down[1]);
        close(up[0]);
        os::File file;
        char ok = file.open(path, os::File::Access::ReadWrite, share) == os::Ok ? 'y' : 'n';
        (void)!write(up[1], &ok, 1);
        char stop;
        (void)!read(down[0], &stop, 1); // until the parent lets go
        _exit(0);
    }
    close(down[0]);
    close(up[1]);
    toChild_ = down[1];
    char ok = 'n';
    (void)!read(up[0], &ok, 1);
    close(up[0]);
    if (ok != 'y') {
        release();
        throw std::runtime_error("the other instance could not open " + path);
    }
}

void OtherInstance::release() {
    if (pid_ <= 0) return;
    close(toChild_);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

OtherInstance::~OtherInstance() { release(); }

} // namespace vardo::test
