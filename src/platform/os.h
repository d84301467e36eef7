#pragma once
// The one place that calls the operating system. Everything above speaks the
// error numbers of the table below (the numbering the stored error texts and the
// error handler use), never errno; a Windows build replaces os.cpp only.

#include <cstdint>
#include <string>
#include <vector>

namespace vardo::os {

// System error numbers as the error handler knows them.
enum SysError : int {
    Ok = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    WriteProtected = 19,
    NotReady = 21,
    SharingViolation = 32,
    LockViolation = 33,
    FileExists = 80,
    CannotMakeEntry = 82,
    DiskFull = 112,
    NameTooLong = 206,
    OtherError = 1117, // an I/O error the table does not name
};

// Maps an errno value to the numbering above; `path` tells "file not found"
// from "path not found" by whether its folder exists.
int fromErrno(int err, const std::string& path = {});
// A short English text for a system error, for error reports.
std::string describe(int sysError);

// An open file. Sharing between instances rests on open-file-description locks:
// an exclusive open holds a write lock on a byte past every region the tables
// lock, a shared open a read lock on it, so exclusive excludes every other open
// (in this process too) and shared excludes exclusive.
class File {
public:
    enum class Access { Read, ReadWrite };
    enum class Share { Exclusive, Shared, None };

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Opens an existing file. Returns 0 or a SysError (SharingViolation when
    // another open holds a conflicting sharing mode).
    int open(const std::string& path, Access access, Share share);
    // Creates or truncates a file for reading and writing.
    int create(const std::string& path, Share share);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    bool writable() const { return writable_; }

    // Reads up to n bytes at off; `got` receives the count actually read.
    int readAt(uint64_t off, void* buf, size_t n, size_t& got) const;
    int writeAt(uint64_t off, const void* buf, size_t n);
    int size(uint64_t& out) const;
    int truncate(uint64_t len);
    int sync();

    // Byte-range locks; they never wait. A writable file takes exclusive
    // locks, a read-only one shared locks.
    bool lockRegion(uint64_t off, uint64_t len);
    void unlockRegion(uint64_t off, uint64_t len);
private:
    friend class FileView;
    int fd_ = -1;
    bool writable_ = false;
};

// A read-only view of the first `length` bytes of an open file, shared with the
// system's file cache: what is written through the File shows in it at once,
// and nothing is copied. Bytes past the end of the file must not be read.
class FileView {
public:
    FileView() = default;
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;
    ~FileView() { unmap(); }

    // 0 or a SysError; the view of a length of 0 is empty.
    int map(const File& file, uint64_t length);
    void unmap();
    const char* data() const { return data_; }
    uint64_t length() const { return length_; }

private:
    const char* data_ = nullptr;
    uint64_t length_ = 0;
};

// True when some open of the file (in any process) holds a sharing mode that
// `wanted` conflicts with; what the in-use tests ask before they touch a file.
bool sharingConflict(const std::string& path, File::Share wanted);

bool exists(const std::string& path);
// True when both paths name the same existing file.
bool sameFile(const std::string& a, const std::string& b);
bool isDirectory(const std::string& path);
// The existing entry of the folder whose name equals the last component of
// `path` without regard to letter case (exact match first); `path` itself when none.
std::string findCaseless(const std::string& path);

int removeFile(const std::string& path);
// Renames `from` over `to` in one step: `to` is either the old or the new file.
int replaceFile(const std::string& from, const std::string& to);
// Copies byte for byte, replacing `to`; DiskFull when not everything was written.
int copyFile(const std::string& from, const std::string& to);
// Writes `data` beside `path`, flushes it and renames it over `path`, so the
// file is always either the old one or the complete new one.
int writeFileAtomic(const std::string& path, const std::string& data);
// Reads the whole file.
int readFile(const std::string& path, std::string& data);
int makeDirectory(const std::string& path);
int removeDirectory(const std::string& path);
int setWritable(const std::string& path);

struct DirEntry {
    std::string name;
    bool directory = false;
};
// Every entry of a folder but "." and "..", hidden ones included.
int listDirectory(const std::string& path, std::vector<DirEntry>& out);

// Free bytes of the file system that holds `path`; false when it cannot be asked.
bool freeSpace(const std::string& path, uint64_t& bytes);

std::string currentDirectory();
// Absolute form of `path` against the current folder, "." and ".." resolved
// lexically (links are not followed, so a missing file has an absolute form too).
std::string absolutePath(const std::string& path);
// TEMP, else TMPDIR, else /tmp; without a closing separator.
std::string tempDirectory();
// The full path of the running program file.
std::string programPath();

struct LocalTime {
    int year, month, day, hour, minute, second, hundredths;
};
LocalTime now();

// Hands a file or an address (mailto:) to the desktop; false when it could not start.
bool openWithDesktop(const std::string& target);

} // namespace vardo::os
