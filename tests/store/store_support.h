#pragma once
// What the table tests share: a fixture with a working folder and a scripted
// user, a writer of raw table bytes for files other programs could have
// written, and a second real process to share tables with.

#include "store/dbf.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vardo::test {

class StoreTest : public ::testing::Test {
protected:
    StoreTest();
    ~StoreTest() override;

    WorkFolder folder;
    ScriptedUser user;
};

// A field descriptor as raw bytes would hold it.
struct RawField {
    std::string name;
    char type;
    int width;
    int decimals = 0;
};
struct RawTableOptions {
    unsigned char version = 3;
    unsigned char codePage = 0;
    int terminatorBytes = 2; // 2 as this program writes, 1 as most others do
};
// A table file: header, descriptors, records (each with its deletion flag), byte 26.
std::string rawTable(const std::vector<RawField>& fields, const std::vector<std::string>& records,
                     RawTableOptions options = {});

// Little-endian integers inside file bytes.
unsigned readU16(const std::string& bytes, size_t at);
unsigned readU32(const std::string& bytes, size_t at);
void writeU16(std::string& bytes, size_t at, unsigned value);
void writeU32(std::string& bytes, size_t at, unsigned value);

// A second process, forked from the test; the body runs in the child, which
// ends with exit code 0 when the body returns, 1 when it threw. The two sides
// talk over pipes, one byte at a time.
class OtherProcess {
public:
    explicit OtherProcess(std::function<void(OtherProcess&)> body);
    ~OtherProcess();
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;

    void send(char c);
    // The next byte from the other side; 0 when it has gone.
    char receive();
    // Waits for the child to end; its exit code (-signal when killed).
    int wait();
    void kill();

private:
    pid_t pid_ = -1;
    bool child_ = false;
    int toChild_[2] = {-1, -1};
    int toParent_[2] = {-1, -1};
    bool ended_ = false;
    int status_ = 0;
};

// Runs a Python 3 script with Debian's own interpreter (which sees python3-dbfread);
// its standard output.
std::string runPython(const std::string& script);
// Runs a shell command; its standard output. The exit status goes to `status`.
std::string runCommand(const std::string& command, int* status = nullptr);

} // namespace vardo::test
