#pragma once
// Real processes for the tests and benchmarks that start whole programs: a
// child process in its own process group that is always stopped, a virtual X
// display, and waiting for a file to appear.

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vardo::test {

class ChildProcess {
public:
    // Starts argv[0] (a path) with the rest as its arguments, in `folder`, with
    // this process's environment changed by `environment` ("NAME=value").
    // `inherited` is a descriptor the child keeps open under the same number.
    ChildProcess(const std::vector<std::string>& argv, const std::string& folder,
                 const std::vector<std::string>& environment = {}, int inherited = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits for the child to end by itself: its wait status, or nullopt when it
    // is still running after `milliseconds`.
    std::optional<int> wait(int milliseconds);
    // Ends the child and everything it started: SIGTERM, then SIGKILL when it
    // has not gone within a second.
    void stop();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// An X server of our own (Xvfb) on a free display, 1280 x 1024, stopped when
// the object goes.
class VirtualDisplay {
public:
    VirtualDisplay();
    // "DISPLAY=:n", for a child's environment.
    std::string environment() const { return "DISPLAY=" + name_; }

private:
    std::unique_ptr<ChildProcess> server_;
    std::string name_;
};

// Waits until a file named `name` exists in `folder`; false after `milliseconds`.
// Sees the file the moment it is created, without polling.
bool waitForFile(const std::string& folder, const std::string& name, int milliseconds);

} // namespace vardo::test
