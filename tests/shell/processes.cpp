#include "shell/processes.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vardo::test {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(0, static_cast<int>(left.count()));
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& changes) {
    std::map<std::string, std::string> byName;
    auto add = [&](const std::string& entry) { byName[entry.substr(0, entry.find('='))] = entry; };
    for (char** e = environ; *e; ++e) add(*e);
    for (const auto& entry : changes) add(entry);
    std::vector<std::string> merged;
    for (auto& [name, entry] : byName) merged.push_back(entry);
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (auto& t : texts) result.push_back(t.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& folder,
                           const std::vector<std::string>& environment, int inherited) {
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> arguments = argv, variables = mergedEnvironment(environment);
    std::vector<char*> args = pointers(arguments), envp = pointers(variables);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        setpgid(0, 0);
        if (chdir(folder.c_str()) != 0) _exit(126);
        if (inherited >= 0) fcntl(inherited, F_SETFD, 0);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    setpgid(pid_, pid_); // whichever of the two runs first
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    if (status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::wait(int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (running()) {
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

void ChildProcess::stop() {
    if (pid_ <= 0) return;
    // The group too: what the child started goes with it.
    kill(-pid_, SIGTERM);
    if (!wait(1000)) {
        kill(-pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = status;
    }
    pid_ = -1;
}

VirtualDisplay::VirtualDisplay() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    // Xvfb picks a free display itself and writes its number to the descriptor
    // once it accepts connections.
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen",
                                 "0", "1280x1024x24", "-nolisten", "tcp"},
        "/", std::vector<std::string>{}, fds[1]);
    close(fds[1]);
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    pollfd wanted{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&wanted, 1, remainingMs(deadline)) > 0) {
        char buffer[16];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos)
        throw std::runtime_error("Xvfb did not report its display");
    name_ = ":" + number.substr(0, number.find('\n'));
}

bool waitForFile(const std::string& folder, const std::string& name, int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    const std::string path = folder + "/" + name;
    int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0) throw std::runtime_error("inotify_init1 failed");
    inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MOVED_TO);
    bool seen = std::filesystem::exists(path);
    pollfd wanted{watch, POLLIN, 0};
    while (!seen && poll(&wanted, 1, remainingMs(deadline)) > 0) {
        alignas(inotify_event) char buffer[4096];
        ssize_t n = read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            auto* event = reinterpret_cast<inotify_event*>(buffer + at);
            if (event->len && name == event->name) seen = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    close(watch);
    return seen;
}

} // namespace vardo::test
