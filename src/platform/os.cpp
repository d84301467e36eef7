#include "platform/os.h"

#include "platform/cp1252.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vardo::os {

namespace {

// Paths are Windows-1252 in the program and UTF-8 for the system.
std::string sys(const std::string& path) { return cp1252ToUtf8(path); }
std::string ours(const char* name) { return utf8ToCp1252(name); }

// The byte whose lock carries the sharing mode: just past the highest offset
// the table lock regions reach (4000000001 + 294967295).
constexpr off_t kShareByte = 4294967296LL;

std::string parentOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool setLock(int fd, short type, off_t off, off_t len) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = off;
    fl.l_len = len;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// True when a lock of `type` on the region would conflict with someone else's.
bool lockWouldConflict(int fd, short type, off_t off, off_t len) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = off;
    fl.l_len = len;
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
    return fl.l_type != F_UNLCK;
}

int takeShareLock(int fd, bool writable, File::Share share) {
    if (share == File::Share::None) return Ok;
    if (share == File::Share::Shared) {
        return setLock(fd, F_RDLCK, kShareByte, 1) ? Ok : SharingViolation;
    }
    if (writable) return setLock(fd, F_WRLCK, kShareByte, 1) ? Ok : SharingViolation;
    // A read-only descriptor cannot hold a write lock: it can only make sure
    // that nobody else holds the file at this moment.
    return lockWouldConflict(fd, F_WRLCK, kShareByte, 1) ? SharingViolation : Ok;
}

} // namespace

int fromErrno(int err, const std::string& path) {
    switch (err) {
    case 0: return Ok;
    case ENOENT:
        if (!path.empty() && !isDirectory(parentOf(path))) return PathNotFound;
        return FileNotFound;
    case ENOTDIR: return PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return AccessDenied;
    case EROFS: return WriteProtected;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return DiskFull;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return SharingViolation;
    case EMFILE:
    case ENFILE: return TooManyOpenFiles;
    case EEXIST:
    case ENOTEMPTY: return FileExists;
    case ENAMETOOLONG: return NameTooLong;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENOTCONN:
    case ESTALE: return NotReady;
    default: return OtherError;
    }
}

std::string describe(int sysError) {
    switch (sysError) {
    case Ok: return "no error";
    case FileNotFound: return "file not found";
    case PathNotFound: return "path not found";
    case TooManyOpenFiles: return "too many open files";
    case AccessDenied: return "access denied";
    case WriteProtected: return "write protected";
    case NotReady: return "device not ready";
    case SharingViolation: return "sharing violation";
    case LockViolation: return "lock violation";
    case FileExists: return "file exists";
    case CannotMakeEntry: return "cannot make directory entry";
    case DiskFull: return "disk full";
    case NameTooLong: return "file name too long";
    default: return "I/O error";
    }
}

File::File(File&& other) noexcept : fd_(other.fd_), writable_(other.writable_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        writable_ = other.writable_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File() { close(); }

int File::open(const std::string& path, Access access, Share share) {
    close();
    bool rw = access == Access::ReadWrite;
    int fd = ::open(sys(path).c_str(), (rw ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return fromErrno(errno, path);
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return AccessDenied;
    }
    int err = takeShareLock(fd, rw, share);
    // A file replaced by a rename (a pack, a rebuild) between the open and the
    // lock leaves this descriptor on the old, nameless file: that open lost the
    // race and must be tried again, as if the file had been in use.
    struct stat named {};
    if (err == Ok && share != Share::None &&
        (::stat(sys(path).c_str(), &named) != 0 || named.st_ino != st.st_ino ||
         named.st_dev != st.st_dev))
        err = SharingViolation;
    if (err != Ok) {
        ::close(fd);
        return err;
    }
    fd_ = fd;
    writable_ = rw;
    return Ok;
}

int File::create(const std::string& path, Share share) {
    close();
    // Take the sharing lock before truncating, so that a file held by another
    // instance is never emptied under it.
    int fd = ::open(sys(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return fromErrno(errno, path);
    int err = takeShareLock(fd, true, share == Share::None ? Share::Exclusive : share);
    if (err != Ok) {
        ::close(fd);
        return err;
    }
    if (ftruncate(fd, 0) != 0) {
        err = fromErrno(errno, path);
        ::close(fd);
        return err;
    }
    if (share == Share::None) setLock(fd, F_UNLCK, kShareByte, 1);
    fd_ = fd;
    writable_ = true;
    return Ok;
}

void File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    writable_ = false;
}

int File::readAt(uint64_t off, void* buf, size_t n, size_t& got) const {
    got = 0;
    auto* p = static_cast<char*>(buf);
    while (got < n) {
        ssize_t r = ::pread(fd_, p + got, n - got, static_cast<off_t>(off + got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return fromErrno(errno);
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return Ok;
}

int File::writeAt(uint64_t off, const void* buf, size_t n) {
    const auto* p = static_cast<const char*>(buf);
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(off + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return fromErrno(errno);
        }
        if (r == 0) return DiskFull;
        done += static_cast<size_t>(r);
    }
    return Ok;
}

int File::size(uint64_t& out) const {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return fromErrno(errno);
    out = static_cast<uint64_t>(st.st_size);
    return Ok;
}

int File::truncate(uint64_t len) {
    return ftruncate(fd_, static_cast<off_t>(len)) == 0 ? Ok : fromErrno(errno);
}

int File::sync() { return fdatasync(fd_) == 0 ? Ok : fromErrno(errno); }

bool File::lockRegion(uint64_t off, uint64_t len) {
    return setLock(fd_, writable_ ? F_WRLCK : F_RDLCK, static_cast<off_t>(off),
                   static_cast<off_t>(len));
}

void File::unlockRegion(uint64_t off, uint64_t len) {
    setLock(fd_, F_UNLCK, static_cast<off_t>(off), static_cast<off_t>(len));
}

int FileView::map(const File& file, uint64_t length) {
    unmap();
    if (length == 0) return Ok;
    void* p = ::mmap(nullptr, static_cast<size_t>(length), PROT_READ, MAP_SHARED | MAP_POPULATE,
                     file.fd_, 0);
    if (p == MAP_FAILED) return fromErrno(errno);
    data_ = static_cast<const char*>(p);
    length_ = length;
    return Ok;
}

void FileView::unmap() {
    if (data_) ::munmap(const_cast<char*>(data_), static_cast<size_t>(length_));
    data_ = nullptr;
    length_ = 0;
}

bool sharingConflict(const std::string& path, File::Share wanted) {
    int fd = ::open(sys(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    bool conflict = false;
    if (wanted != File::Share::None) {
        short type = wanted == File::Share::Exclusive ? F_WRLCK : F_RDLCK;
        conflict = lockWouldConflict(fd, type, kShareByte, 1);
    }
    ::close(fd);
    return conflict;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(sys(path).c_str(), &st) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(sys(a).c_str(), &sa) == 0 && ::stat(sys(b).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(sys(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string findCaseless(const std::string& path) {
    if (exists(path)) return path;
    auto slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = opendir(sys(folder).c_str());
    if (!dir) return path;
    std::string found = path;
    while (dirent* e = readdir(dir)) {
        std::string entry = ours(e->d_name);
        if (strcasecmp(entry.c_str(), name.c_str()) == 0) {
            found = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + entry;
            break;
        }
    }
    closedir(dir);
    return found;
}

int removeFile(const std::string& path) {
    return ::unlink(sys(path).c_str()) == 0 ? Ok : fromErrno(errno, path);
}

namespace {
void syncFolderOf(const std::string& path) {
    int dfd = ::open(sys(parentOf(path)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        ::close(dfd);
    }
}
} // namespace

int replaceFile(const std::string& from, const std::string& to) {
    if (::rename(sys(from).c_str(), sys(to).c_str()) != 0) return fromErrno(errno, to);
    syncFolderOf(to);
    return Ok;
}

int copyFile(const std::string& from, const std::string& to) {
    File in;
    if (int err = in.open(from, File::Access::Read, File::Share::Shared)) return err;
    File out;
    if (int err = out.create(to, File::Share::Exclusive)) return err;
    std::vector<char> buf(1 << 20);
    uint64_t off = 0;
    for (;;) {
        size_t got = 0;
        if (int err = in.readAt(off, buf.data(), buf.size(), got)) return err;
        if (got == 0) break;
        if (int err = out.writeAt(off, buf.data(), got)) return err;
        off += got;
    }
    return out.sync();
}

int writeFileAtomic(const std::string& path, const std::string& data) {
    std::string temp = path + ".~tmp" + std::to_string(getpid());
    int fd = ::open(sys(temp).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return fromErrno(errno, temp);
    size_t done = 0;
    int err = Ok;
    while (done < data.size()) {
        ssize_t r = ::write(fd, data.data() + done, data.size() - done);
        if (r < 0) {
            if (errno == EINTR) continue;
            err = fromErrno(errno, temp);
            break;
        }
        done += static_cast<size_t>(r);
    }
    if (err == Ok && fsync(fd) != 0) err = fromErrno(errno, temp);
    if (::close(fd) != 0 && err == Ok) err = fromErrno(errno, temp);
    if (err == Ok) err = replaceFile(temp, path);
    if (err != Ok) ::unlink(sys(temp).c_str());
    return err;
}

int readFile(const std::string& path, std::string& data) {
    data.clear();
    File f;
    if (int err = f.open(path, File::Access::Read, File::Share::None)) return err;
    uint64_t size = 0;
    if (int err = f.size(size)) return err;
    data.resize(size);
    size_t got = 0;
    if (int err = f.readAt(0, data.data(), size, got)) return err;
    data.resize(got);
    return Ok;
}

int makeDirectory(const std::string& path) {
    return ::mkdir(sys(path).c_str(), 0777) == 0 ? Ok : fromErrno(errno, path);
}

int removeDirectory(const std::string& path) {
    return ::rmdir(sys(path).c_str()) == 0 ? Ok : fromErrno(errno, path);
}

int setWritable(const std::string& path) {
    struct stat st {};
    if (::stat(sys(path).c_str(), &st) != 0) return fromErrno(errno, path);
    return ::chmod(sys(path).c_str(), st.st_mode | S_IWUSR) == 0 ? Ok : fromErrno(errno, path);
}

int listDirectory(const std::string& path, std::vector<DirEntry>& out) {
    out.clear();
    DIR* dir = opendir(sys(path).c_str());
    if (!dir) return fromErrno(errno, path);
    while (dirent* e = readdir(dir)) {
        std::string name = ours(e->d_name);
        if (name == "." || name == "..") continue;
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) isDir = isDirectory(path + "/" + name);
        out.push_back({name, isDir});
    }
    closedir(dir);
    return Ok;
}

bool freeSpace(const std::string& path, uint64_t& bytes) {
    struct statvfs sv {};
    if (statvfs(sys(path).c_str(), &sv) != 0) return false;
    bytes = static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
    return true;
}

std::string currentDirectory() {
    std::string buf(4096, '\0');
    if (!getcwd(buf.data(), buf.size())) return "/";
    buf.resize(strlen(buf.c_str()));
    buf = ours(buf.c_str());
    return buf;
}

std::string absolutePath(const std::string& path) {
    std::string full = (!path.empty() && path[0] == '/') ? path : currentDirectory() + "/" + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& p : parts) out += "/" + p;
    if (out.empty()) out = "/";
    // Keep a closing separator the caller gave (a folder named as such).
    if (full.size() > 1 && full.back() == '/' && out != "/") out += "/";
    return out;
}

std::string tempDirectory() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            std::string s = ours(v);
            while (s.size() > 1 && s.back() == '/') s.pop_back();
            return s;
        }
    }
    return "/tmp";
}

std::string programPath() {
    std::string buf(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    buf.resize(static_cast<size_t>(n));
    return ours(buf.c_str());
}

LocalTime now() {
    struct timeval tv {};
    gettimeofday(&tv, nullptr);
    struct tm tm {};
    localtime_r(&tv.tv_sec, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     static_cast<int>(tv.tv_usec / 10000)};
}

bool openWithDesktop(const std::string& target) {
    pid_t pid = 0;
    const std::string native = sys(target);
    const char* argv[] = {"xdg-open", native.c_str(), nullptr};
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    // xdg-open hands over to the desktop and returns at once.
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace vardo::os
