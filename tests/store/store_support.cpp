#include "store_support.h"

#include "common/error.h"
#include "common/settings.h"
#include "store/utilities.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vardo::test {

StoreTest::StoreTest() {
    run().ACS_TEMP = folder.temp() + "/";
    setNetErr(false);
    KEYSEARCH();
}

StoreTest::~StoreTest() {
    try {
        CLOSEALL();
    } catch (...) {
        ADD_FAILURE() << "closing the tables failed";
    }
    run().ACS_TEMP.clear();
    user.finish();
}

unsigned readU16(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
unsigned readU32(const std::string& b, size_t at) {
    return readU16(b, at) | readU16(b, at + 2) << 16;
}
void writeU16(std::string& b, size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void writeU32(std::string& b, size_t at, unsigned v) {
    writeU16(b, at, v & 0xFFFF);
    writeU16(b, at + 2, v >> 16);
}

std::string rawTable(const std::vector<RawField>& fields, const std::vector<std::string>& records,
                     RawTableOptions options) {
    const size_t headerLength =
        32 * (fields.size() + 1) + static_cast<size_t>(options.terminatorBytes);
    unsigned recordLength = 1;
    for (const auto& f : fields) recordLength += static_cast<unsigned>(f.width);
    std::string b(headerLength, '\0');
    b[0] = static_cast<char>(options.version);
    b[1] = 124;
    b[2] = 1;
    b[3] = 1;
    writeU32(b, 4, static_cast<unsigned>(records.size()));
    writeU16(b, 8, static_cast<unsigned>(headerLength));
    writeU16(b, 10, recordLength);
    b[29] = static_cast<char>(options.codePage);
    for (size_t i = 0; i < fields.size(); ++i) {
        size_t d = 32 * (i + 1);
        b.replace(d, fields[i].name.size(), fields[i].name);
        b[d + 11] = fields[i].type;
        b[d + 16] = static_cast<char>(fields[i].width);
        b[d + 17] = static_cast<char>(fields[i].decimals);
    }
    b[32 * (fields.size() + 1)] = 13;
    for (const auto& r : records) b += r;
    b += '\x1A';
    return b;
}

OtherProcess::OtherProcess(std::function<void(OtherProcess&)> body) {
    if (pipe(toChild_) != 0 || pipe(toParent_) != 0) throw std::runtime_error("pipe failed");
    std::fflush(nullptr);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        child_ = true;
        close(toChild_[1]);
        close(toParent_[0]);
        int code = 0;
        try {
            body(*this);
        } catch (...) {
            code = 1;
        }
        _exit(code);
    }
    close(toChild_[0]);
    close(toParent_[1]);
}

OtherProcess::~OtherProcess() {
    if (child_) return;
    if (!ended_) {
        kill();
        wait();
    }
    close(toChild_[1]);
    close(toParent_[0]);
}

void OtherProcess::send(char c) {
    int fd = child_ ? toParent_[1] : toChild_[1];
    if (write(fd, &c, 1) != 1 && !child_) ADD_FAILURE() << "the other process has gone";
}

char OtherProcess::receive() {
    int fd = child_ ? toChild_[0] : toParent_[0];
    char c = 0;
    return read(fd, &c, 1) == 1 ? c : 0;
}

int OtherProcess::wait() {
    if (!ended_) {
        waitpid(pid_, &status_, 0);
        ended_ = true;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -WTERMSIG(status_);
}

void OtherProcess::kill() {
    ::kill(pid_, SIGKILL);
}

std::string runCommand(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string runPython(const std::string& script) {
    std::string file = "script.py";
    std::ofstream(file) << script;
    int status = 0;
    std::string out = runCommand("/usr/bin/python3 " + file + " 2>&1", &status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

} // namespace vardo::test
